// probe.exe: stands in for an installed program. It appends to probe.log
// beside itself a line "started<TAB>command line<TAB>current folder", then
// does what probe.cfg beside it says, if there is one ("sleep MS", "exit
// CODE", one a line), and appends "ended<TAB>code" before it ends.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The file `name` in the folder of this program.
bool beside_me(const char* name, char* path, DWORD capacity) {
    const DWORD length = GetModuleFileNameA(nullptr, path, capacity);
    if (length == 0 || length >= capacity) return false;
    char* separator = std::strrchr(path, '\\');
    if (!separator || size_t(separator - path) + 1 + std::strlen(name) + 1 > capacity) return false;
    std::strcpy(separator + 1, name);
    return true;
}

void append_line(const char* text) {
    char path[MAX_PATH];
    if (!beside_me("probe.log", path, MAX_PATH)) return;
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(log, text, DWORD(std::strlen(text)), &written, nullptr);
    WriteFile(log, "\n", 1, &written, nullptr);
    CloseHandle(log);
}

struct Behaviour {
    DWORD sleep_ms = 0;
    int exit_code = 0;
};

Behaviour read_configuration() {
    Behaviour behaviour;
    char path[MAX_PATH];
    if (!beside_me("probe.cfg", path, MAX_PATH)) return behaviour;
    FILE* in = std::fopen(path, "r");
    if (!in) return behaviour;
    char line[128];
    while (std::fgets(line, sizeof line, in)) {
        long value = 0;
        if (std::sscanf(line, "sleep %ld", &value) == 1) behaviour.sleep_ms = DWORD(value);
        else if (std::sscanf(line, "exit %ld", &value) == 1) behaviour.exit_code = int(value);
    }
    std::fclose(in);
    return behaviour;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    const char* command_line = GetCommandLineA();
    char line[3 * MAX_PATH];
    std::snprintf(line, sizeof line, "started\t%s\t%s", command_line, folder);
    append_line(line);

    const Behaviour behaviour = read_configuration();
    if (behaviour.sleep_ms) Sleep(behaviour.sleep_ms);
    std::snprintf(line, sizeof line, "ended\t%d", behaviour.exit_code);
    append_line(line);
    return behaviour.exit_code;
}
