#include "setup/win32_platform.h"

#include <commctrl.h>

#include "setup/integrity_check_win32.h"
#include "setup/last_error_win32.h"
#include "setup/package_resource_win32.h"
#include "setup/setup_state.h"
#include "ui/dialogs_win32.h"
#include "ui/resources/resource_ids.h"

namespace {

HINSTANCE instance() { return static_cast<HINSTANCE>(setup_state.instance); }
HWND progress_window() { return static_cast<HWND>(setup_state.progress_window); }

}  // namespace

bool Win32SetupPlatform::verify_setup_checksum() { return ::verify_setup_checksum(); }

bool Win32SetupPlatform::run_license_dialog() { return ::run_license_dialog(); }

intptr_t Win32SetupPlatform::run_folder_dialog() {
    return DialogBoxParamA(instance(), MAKEINTRESOURCEA(IDD_DESTINATION), nullptr, setup_dialog_proc, 0);
}

void* Win32SetupPlatform::create_progress_dialog() {
    return CreateDialogParamA(instance(), MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, setup_dialog_proc, 0);
}

void Win32SetupPlatform::set_progress_label(const char* text) {
    SetDlgItemTextA(progress_window(), IDC_CURRENT_FILE, text);
}

void Win32SetupPlatform::start_progress_bar() {
    SendDlgItemMessageA(progress_window(), IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
}

void Win32SetupPlatform::show_progress_dialog() { ShowWindow(progress_window(), SW_SHOW); }

void Win32SetupPlatform::destroy_progress_dialog() { DestroyWindow(progress_window()); }

PackageResource Win32SetupPlatform::load_package() { return find_package_resource(instance()); }

void Win32SetupPlatform::load_string(uint32_t id, char* buffer, size_t capacity) {
    buffer[0] = '\0';
    LoadStringA(instance(), id, buffer, int(capacity));
}

void Win32SetupPlatform::format_last_error(char* buffer, size_t size) { ::format_last_error(buffer, size); }

void Win32SetupPlatform::show_final_message(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
}

bool Win32SetupPlatform::start_program(char* command_line, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    process_ = {};
    return CreateProcessA(nullptr, command_line, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                          &startup, &process_) != 0;
}

bool Win32SetupPlatform::wait_for_program(uint32_t milliseconds) {
    return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

void Win32SetupPlatform::close_program() {
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
    process_ = {};
}

void Win32SetupPlatform::set_progress_position(uint32_t percent) {
    SendDlgItemMessageA(progress_window(), IDC_PROGRESS_BAR, PBM_SETPOS, percent, 0);
}

int32_t Win32SetupPlatform::process_pending_messages() { return ::process_pending_messages(); }
