// A scripted SetupPlatform: says what each step of the system does and
// records what the sequence asked of it, in order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "setup/setup_platform.h"
#include "tools/package_writer.h"

class FakePlatform : public SetupPlatform {
public:
    // --- The script ---
    bool checksum_accepts = true;
    bool license_accepted = true;
    // The destination dialog: what it leaves in setup_state and its result.
    // By default the user installs into `destination`.
    std::string destination;
    std::function<intptr_t()> folder_dialog;
    bool progress_dialog_created = true;
    PackageLookup lookup = PackageLookup::found;
    Bytes package;
    std::string system_error_text = "The system cannot find the file specified.";
    bool program_starts = true;
    bool program_ends = true;
    // Runs inside every pass of the message pump (a user's click, say).
    std::function<void()> on_pump;

    // --- The record ---
    std::vector<std::string> events;  // one word per call, in order
    std::vector<std::string> labels;
    std::vector<uint32_t> positions;
    std::vector<std::string> messages;  // final reports: text
    std::vector<std::string> captions;
    std::string command_line;
    std::string program_folder;
    uint32_t waited_milliseconds = 0;
    bool progress_visible = false;
    bool progress_exists = false;

    // Index of the first event `name`, or -1.
    int event_index(const std::string& name) const;
    bool has_event(const std::string& name) const { return event_index(name) >= 0; }

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
    int progress_token_ = 0;  // what the progress dialog's handle points at
};
