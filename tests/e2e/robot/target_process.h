// The program under test, started by the robot, and other processes found
// by the path of their program file.
#pragma once

#include <windows.h>

#include <string>

class TargetProcess {
public:
    TargetProcess() = default;
    TargetProcess(const TargetProcess&) = delete;
    TargetProcess& operator=(const TargetProcess&) = delete;
    ~TargetProcess();

    // Starts `program` with its path, quoted, as the command line; it
    // inherits the robot's environment.
    bool start(const std::string& program, std::string* error);
    bool started() const { return process_.hProcess != nullptr; }
    DWORD id() const { return process_.dwProcessId; }
    // True when the process has ended within `milliseconds`.
    bool wait(DWORD milliseconds) const;
    DWORD exit_code() const;
    void terminate();

private:
    void close();
    PROCESS_INFORMATION process_ = {};
};

// The id of a running process whose program file is `path` (compared
// without regard to letter case); 0 when there is none.
DWORD find_process(const std::string& path);
// Ends that process and waits for it; false when it cannot be ended.
bool end_process(DWORD process_id);
// The number of threads the process runs now; -1 when they cannot be listed.
long count_threads(DWORD process_id);
