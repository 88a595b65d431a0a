#include "setup/system_library_win32.h"

#include <cstring>

namespace {

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

}  // namespace

void restrict_dll_search() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    const FARPROC found = GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (!found) return;
    // Through void (*)(): a FARPROC is cast to the function's real type.
    const auto set_default_directories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
    set_default_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE load_system_library(const char* name) {
    HMODULE library = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library) return library;
    // Systems that do not know the flag refuse it as an invalid parameter;
    // there, the full path does the same job.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + std::strlen(name) + 1 > MAX_PATH) return nullptr;
    path[length] = '\\';
    std::memcpy(path + length + 1, name, std::strlen(name) + 1);
    return LoadLibraryA(path);
}
