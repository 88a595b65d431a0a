// The Win32 side of the setup's dialogs: the procedures, the licence text's
// loader and stream callback, the folder chooser and the message pump.
#pragma once

#include <windows.h>

// Dialog 137: runs it when the rich edit library can be loaded from the
// system folder. True when the installation may go on.
bool run_license_dialog();
INT_PTR CALLBACK license_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
// Fills rich edit control `control` of `dialog` with the package's licence.
void load_license_text(HWND dialog, int control);
// The EDITSTREAMCALLBACK over license_stream.
DWORD CALLBACK license_stream_callback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered);

// Dialogs 138 (destination folder) and 139 (copy progress).
INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// The shell's folder chooser, rooted at the computer's drives. True, with
// `path` (260 bytes) filled, when a file-system folder was chosen.
bool browse_for_folder(HWND owner, char* path);

// Dispatches every message waiting for this thread; never waits. Returns 0.
int process_pending_messages();

// Gives `dialog` the setup's small icon, when it loads.
void set_small_icon(HWND dialog);
