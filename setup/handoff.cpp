#include "setup/handoff.h"

#include <cstring>

#include "setup/setup_state.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr char kInstallArgument[] = " /Install";

}  // namespace

bool compose_install_command(const char* program, char* out, size_t capacity) {
    const size_t program_length = std::strlen(program);
    const size_t length = 1 + program_length + 1 + sizeof kInstallArgument - 1;
    if (capacity == 0) return false;
    out[0] = '\0';
    if (length + 1 > capacity) return false;
    out[0] = '"';
    std::memcpy(out + 1, program, program_length);
    out[1 + program_length] = '"';
    std::memcpy(out + 2 + program_length, kInstallArgument, sizeof kInstallArgument);
    return true;
}

bool launch_installed_program(SetupPlatform& platform) {
    SetupState& state = setup_state;
    char command_line[kCommandLineCapacity];
    // A 259-byte path always fits; the check keeps the buffer safe anyway.
    if (!compose_install_command(state.first_path, command_line, sizeof command_line)) {
        state.succeeded = false;
        return false;
    }
    if (!platform.start_program(command_line, state.target_folder)) {
        platform.format_last_error(state.error_text, sizeof state.error_text);
        state.succeeded = false;
        return false;
    }
    if (!platform.wait_for_program(kProgramWaitMilliseconds)) {
        // Not stopped: it runs on by itself.
        state.message_id = IDS_REGISTRATION_FAILED;
        state.succeeded = false;
    }
    platform.close_program();
    return state.succeeded;
}
