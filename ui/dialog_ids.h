// The two buttons that end a dialog, numbered as the system numbers them
// (IDOK, IDCANCEL), and the values the procedures return for a message.
// The other resource numbers are in ui/resources/resource_ids.h.
#pragma once

#include <cstdint>

constexpr int kButtonOk = 1;      // IDOK: "Install", "I agree"
constexpr int kButtonCancel = 2;  // IDCANCEL: "Cancel", "I do not agree", Escape, close box

// A dialog's result is the id of the button that ended it; -1 when the
// dialog could not be shown.
constexpr intptr_t kDialogInstall = kButtonOk;
constexpr intptr_t kDialogCancelled = kButtonCancel;

// What a dialog procedure returns: whether it handled the message.
constexpr intptr_t kHandled = 1;     // TRUE
constexpr intptr_t kNotHandled = 0;  // FALSE
