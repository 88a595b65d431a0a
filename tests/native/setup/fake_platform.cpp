#include "fake_platform.h"

#include <cstring>

#include "setup/setup_state.h"
#include "tests/native/ui/string_table_fixture.h"

int FakePlatform::event_index(const std::string& name) const {
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i] == name) return int(i);
    return -1;
}

bool FakePlatform::verify_setup_checksum() {
    events.push_back("checksum");
    return checksum_accepts;
}

bool FakePlatform::run_license_dialog() {
    events.push_back("license");
    return license_accepted;
}

intptr_t FakePlatform::run_folder_dialog() {
    events.push_back("folder");
    if (folder_dialog) return folder_dialog();
    std::strncpy(setup_state.target_folder, destination.c_str(), sizeof setup_state.target_folder - 1);
    return 1;
}

void* FakePlatform::create_progress_dialog() {
    events.push_back("create-progress");
    progress_exists = progress_dialog_created;
    return progress_dialog_created ? &progress_token_ : nullptr;
}

void FakePlatform::set_progress_label(const char* text) {
    events.push_back("label");
    labels.push_back(text);
}

void FakePlatform::start_progress_bar() { events.push_back("range"); }

void FakePlatform::show_progress_dialog() {
    events.push_back("show");
    progress_visible = true;
}

void FakePlatform::destroy_progress_dialog() {
    events.push_back("destroy-progress");
    progress_exists = false;
    progress_visible = false;
}

PackageResource FakePlatform::load_package() {
    events.push_back("package");
    if (lookup != PackageLookup::found) return {lookup, nullptr, 0};
    return {lookup, package.data(), uint32_t(package.size())};
}

void FakePlatform::load_string(uint32_t id, char* buffer, size_t capacity) {
    load_table_string(id, buffer, capacity);
}

void FakePlatform::format_last_error(char* buffer, size_t size) {
    events.push_back("last-error");
    if (size == 0) return;
    const size_t length = system_error_text.size() < size - 1 ? system_error_text.size() : size - 1;
    std::memcpy(buffer, system_error_text.data(), length);
    buffer[length] = '\0';
}

void FakePlatform::show_final_message(const char* text, const char* caption) {
    events.push_back("message");
    messages.push_back(text);
    captions.push_back(caption);
}

bool FakePlatform::start_program(char* line, const char* folder) {
    events.push_back("start");
    command_line = line;
    program_folder = folder;
    return program_starts;
}

bool FakePlatform::wait_for_program(uint32_t milliseconds) {
    events.push_back("wait");
    waited_milliseconds = milliseconds;
    return program_ends;
}

void FakePlatform::close_program() { events.push_back("close"); }

void FakePlatform::set_progress_position(uint32_t percent) {
    events.push_back("position");
    positions.push_back(percent);
}

int32_t FakePlatform::process_pending_messages() {
    events.push_back("pump");
    if (on_pump) on_pump();
    return 0;
}
