// The hand-off: starts the installed program (entry 0 as written) with
// "/Install" in the destination folder and waits a bounded time for it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "setup/setup_platform.h"

constexpr uint32_t kProgramWaitMilliseconds = 20000;
constexpr size_t kCommandLineCapacity = 512;

// "\"<program>\" /Install" into `out`; false when it does not fit.
bool compose_install_command(const char* program, char* out, size_t capacity);

// Starts first_path in target_folder and waits for it. Returns the new value
// of succeeded: a failed start leaves the system's text in error_text, a
// program still running after the wait leaves message 115.
bool launch_installed_program(SetupPlatform& platform);
