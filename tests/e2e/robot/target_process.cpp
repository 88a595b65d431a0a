#include "tests/e2e/robot/target_process.h"

#include <tlhelp32.h>

#include <vector>

#include "tests/e2e/robot/log.h"

namespace {

constexpr int kStartAttempts = 2;
constexpr DWORD kStartRetryMs = 500;

}  // namespace

TargetProcess::~TargetProcess() { close(); }

bool TargetProcess::start(const std::string& program, std::string* error) {
    close();
    std::string command = "\"" + program + "\"";
    std::vector<char> command_line(command.begin(), command.end());
    command_line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_))
            return true;
        const DWORD code = GetLastError();
        process_ = {};
        // Under load wine now and then loses a new process before its first
        // instruction and reports an internal error; nothing of the program
        // has run then, so it is started once more.
        if (code != ERROR_INTERNAL_ERROR || attempt == kStartAttempts) {
            *error = "CreateProcess failed with error " + std::to_string(code);
            return false;
        }
        log_line("  CreateProcess: internal error; starting again");
        Sleep(kStartRetryMs);
    }
}

bool TargetProcess::wait(DWORD milliseconds) const {
    return WaitForSingleObject(process_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD TargetProcess::exit_code() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

void TargetProcess::terminate() {
    if (!started() || wait(0)) return;
    TerminateProcess(process_.hProcess, 255);
    wait(5000);
}

void TargetProcess::close() {
    if (process_.hThread) CloseHandle(process_.hThread);
    if (process_.hProcess) CloseHandle(process_.hProcess);
    process_ = {};
}

DWORD find_process(const std::string& path) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD found = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process) continue;
        char image[MAX_PATH] = "";
        DWORD size = sizeof image;
        if (QueryFullProcessImageNameA(process, 0, image, &size) && lstrcmpiA(image, path.c_str()) == 0)
            found = entry.th32ProcessID;
        CloseHandle(process);
    }
    CloseHandle(snapshot);
    return found;
}

bool end_process(DWORD process_id) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id);
    if (!process) return false;
    const bool ended = TerminateProcess(process, 0) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

long count_threads(DWORD process_id) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    long count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == process_id) ++count;
    CloseHandle(snapshot);
    return count;
}
