// A stranger's IMAGEHLP.DLL, put beside a setup to see whether the setup
// loads it: when loaded it appends "loaded" to planted.log beside itself,
// and its MapFileAndCheckSumA appends "called" and reports a mismatch.
#include <windows.h>

#include <cstring>

namespace {

HINSTANCE module_instance = nullptr;

void mark(const char* word) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module_instance, path, MAX_PATH);
    char* separator = length && length < MAX_PATH ? std::strrchr(path, '\\') : nullptr;
    if (!separator || size_t(separator - path) + sizeof "\\planted.log" > MAX_PATH) return;
    std::strcpy(separator, "\\planted.log");
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, word, DWORD(std::strlen(word)), &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
    CloseHandle(log);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        module_instance = instance;
        mark("loaded");
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI MapFileAndCheckSumA(PCSTR, PDWORD header_sum, PDWORD computed_sum) {
    mark("called");
    *header_sum = 0x1111;
    *computed_sum = 0x2222;
    return 0;
}
