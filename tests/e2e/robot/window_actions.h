// What a user does to a window, done from another process. A click that
// may open something modal (a message box, a dialog) is posted: a sent one
// would wait until that closes. Everything else is sent, and has taken
// effect when the call returns.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

void post_click(HWND button);
bool is_checked(HWND box);
// Clicks the check box (it opens nothing); false when it still is not in
// the state wanted afterwards.
bool set_checked(HWND box, bool checked);
void type_text(HWND field, const std::string& text);
// Escape, which the dialog's own loop turns into its Cancel command.
void press_escape(HWND window);
void press_close_box(HWND window);
// Moves the window, as if dragged by its title bar.
void move_window(HWND window, int x, int y);
// The ids of the buttons among `ids` that have the default push button style.
std::vector<int> default_buttons(HWND window, const std::vector<int>& ids);
// True when the window has been hidden or destroyed within `timeout_ms`.
bool wait_until_gone(HWND window, DWORD timeout_ms, DWORD poll_ms);
