// Puts the one SetupState back to its start-up values between tests.
#pragma once

#include "setup/setup_state.h"

inline void reset_setup_state() {
    SetupState& state = setup_state;
    state.instance = nullptr;
    state.target_folder[0] = '\0';
    state.error_text[0] = '\0';
    state.message_id = 0;
    state.bytes_total = 0;
    state.bytes_done = 0;
    state.package_size = 0;
    state.package_data = nullptr;
    state.cancelled = false;
    state.succeeded = true;
    state.current_path[0] = '\0';
    state.first_path[0] = '\0';
    state.progress_window = nullptr;
}
