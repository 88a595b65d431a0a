// Loading system DLLs from the system folder only, so that a DLL planted
// beside Setup.exe (a downloads folder, say) is never loaded in its place.
#pragma once

#include <windows.h>

// Makes the system folder the default search path of later DLL loads, where
// the system can do that (SetDefaultDllDirectories, looked up at run time).
void restrict_dll_search();

// Loads `name` (a file name, no path) from the system folder; null when it
// is not there.
HMODULE load_system_library(const char* name);
