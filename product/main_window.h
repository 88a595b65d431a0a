// The Songwright main window: a welcome text and a Help menu that opens
// the help file installed beside the program.
#pragma once

#include <windows.h>

// Shows the window and runs its message loop; returns the exit code.
int run_main_window(HINSTANCE instance, int show);
