// Songwright: started with /Install by the setup it registers itself and
// ends; started without arguments it opens its window.
#include <windows.h>

#include <cstring>

#include "product/main_window.h"
#include "product/registration.h"

namespace {

// True when the command line is the single word /Install (any case).
bool is_install_request(const char* command_line) {
    while (*command_line == ' ' || *command_line == '\t') ++command_line;
    const char* end = command_line + std::strlen(command_line);
    while (end > command_line && (end[-1] == ' ' || end[-1] == '\t')) --end;
    constexpr char kInstall[] = "/install";
    const size_t length = sizeof(kInstall) - 1;
    return size_t(end - command_line) == length &&
           CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, command_line, int(length), kInstall,
                          int(length)) == CSTR_EQUAL;
}

// A failed install explains itself to a debugger and, when there is one, to
// the standard error of whoever started it; the exit code says the same.
void report_failure(const char* text) {
    OutputDebugStringA(text);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (error == nullptr || error == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(error, text, DWORD(std::strlen(text)), &written, nullptr);
    WriteFile(error, "\n", 1, &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show) {
    if (!is_install_request(command_line)) return run_main_window(instance, show);
    const RegistrationResult result = register_installation();
    if (result != registration_ok) report_failure(registration_result_text(result));
    return int(result);
}
