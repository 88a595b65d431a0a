// The install sequence's platform over Win32: the dialogs, the package
// resource, texts, message boxes and the installed program's process.
#pragma once

#include <windows.h>

#include "setup/setup_platform.h"

class Win32SetupPlatform : public SetupPlatform {
public:
    bool verify_setup_checksum() override;
    bool run_license_dialog() override;
    intptr_t run_folder_dialog() override;
    void* create_progress_dialog() override;
    void set_progress_label(const char* text) override;
    void start_progress_bar() override;
    void show_progress_dialog() override;
    void destroy_progress_dialog() override;
    PackageResource load_package() override;
    void load_string(uint32_t id, char* buffer, size_t capacity) override;
    void format_last_error(char* buffer, size_t size) override;
    void show_final_message(const char* text, const char* caption) override;
    bool start_program(char* command_line, const char* folder) override;
    bool wait_for_program(uint32_t milliseconds) override;
    void close_program() override;
    void set_progress_position(uint32_t percent) override;
    int32_t process_pending_messages() override;

private:
    PROCESS_INFORMATION process_ = {};
};
