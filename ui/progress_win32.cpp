#include "ui/dialogs_win32.h"

int process_pending_messages() {
    // No IsDialogMessage: Tab, Enter and Escape mean nothing in the progress
    // dialog, which only offers its Cancel button to the mouse.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
