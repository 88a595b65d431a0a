// The state of one run of the setup. There is exactly one record: the dialog
// procedure and the copy-progress callback get no context argument, so they
// reach it directly. Module and window handles are carried as opaque
// pointers, so the decisions that read the record need no <windows.h>; the
// logo control, a Win32 window object, exists in the Windows build only.
#pragma once

#include <cstdint>

#include "package/archive.h"

#ifdef _WIN32
#include "logo/logo_control_win32.h"
#endif

struct SetupState {
    void* instance = nullptr;                  // the module (HINSTANCE)
    char target_folder[kPathCapacity] = {};    // empty until the user acts
    char error_text[kPathCapacity] = {};       // detail line of the final report
    uint32_t message_id = 0;                   // string id of the detail line; 0 = none
    uint32_t bytes_total = 0;                  // sum of the entries' uncompressed sizes
    uint32_t bytes_done = 0;                   // bytes written so far by the copy
    uint32_t package_size = 0;
    const void* package_data = nullptr;        // the package resource, never freed
    bool cancelled = false;
    bool succeeded = true;                     // the installation is still on course
    char current_path[kPathCapacity] = {};     // the file being written
    char first_path[kPathCapacity] = {};       // entry 0 as written: the program started at the end
    void* progress_window = nullptr;           // the modeless progress dialog (HWND)
#ifdef _WIN32
    LogoControl logo;                          // the destination dialog's animated logo
#endif
};

extern SetupState setup_state;
