#include "setup/integrity_check_win32.h"

#include <windows.h>

#include "setup/integrity_check.h"
#include "setup/setup_state.h"
#include "setup/system_library_win32.h"

namespace {

using MapFileAndCheckSumFunction = DWORD(WINAPI*)(PCSTR, PDWORD, PDWORD);

class Win32IntegrityHost : public IntegrityHost {
public:
    bool module_path(char* buffer, size_t capacity) override {
        const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(setup_state.instance), buffer, DWORD(capacity));
        // A path cut to the buffer is no path: it would name another file.
        return length != 0 && length < capacity;
    }
    bool load_checksum_library() override {
        library_ = load_system_library("IMAGEHLP.DLL");
        return library_ != nullptr;
    }
    bool find_checksum_function() override {
        const FARPROC found = GetProcAddress(library_, "MapFileAndCheckSumA");
        function_ = reinterpret_cast<MapFileAndCheckSumFunction>(reinterpret_cast<void (*)()>(found));
        return function_ != nullptr;
    }
    uint32_t map_file_and_check_sum(const char* path, uint32_t* header_sum, uint32_t* computed_sum) override {
        DWORD header = 0;
        DWORD computed = 0;
        const DWORD result = function_(path, &header, &computed);
        *header_sum = header;
        *computed_sum = computed;
        return result;
    }
    void free_checksum_library() override {
        FreeLibrary(library_);
        library_ = nullptr;
    }
    void show_refusal(const char* text) override { MessageBoxA(nullptr, text, nullptr, MB_ICONERROR); }

private:
    HMODULE library_ = nullptr;
    MapFileAndCheckSumFunction function_ = nullptr;
};

}  // namespace

bool verify_setup_checksum() {
    Win32IntegrityHost host;
    return verify_setup_checksum(host);
}
