// What the install sequence needs of the system: the steps it calls, the
// two setup dialogs, the package resource, texts and message boxes, the
// last error's text and the installed program's process. WinMain passes the
// Win32 implementation (setup/win32_platform.cpp); tests pass a fake.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ui/copy_progress.h"

// The package resource as the lookup left it.
enum class PackageLookup {
    found,       // data and size describe the package
    missing,     // no such resource
    empty,       // found, size 0
    unloadable,  // it could not be loaded or locked; the last error says why
};

struct PackageResource {
    PackageLookup lookup;
    const void* data;
    uint32_t size;
};

class SetupPlatform : public ProgressView {
public:
    // True: go on. False: the setup file was refused and the refusal shown.
    virtual bool verify_setup_checksum() = 0;
    // True: go on. False: the licence was not accepted.
    virtual bool run_license_dialog() = 0;
    // The destination dialog's result: 1 install, 2 cancelled, else failed.
    virtual intptr_t run_folder_dialog() = 0;

    // The progress dialog, created hidden; null when it cannot be created.
    virtual void* create_progress_dialog() = 0;
    virtual void set_progress_label(const char* text) = 0;
    // Range 0 to 100 for the bar.
    virtual void start_progress_bar() = 0;
    virtual void show_progress_dialog() = 0;
    virtual void destroy_progress_dialog() = 0;

    // Finds, sizes, loads and locks the package resource, stopping at the
    // first step that fails.
    virtual PackageResource load_package() = 0;

    // A string-table text; a missing string gives an empty text.
    virtual void load_string(uint32_t id, char* buffer, size_t capacity) = 0;
    // The system's text for the calling thread's last error.
    virtual void format_last_error(char* buffer, size_t size) = 0;
    // The final report: no owner, information icon, one OK button.
    virtual void show_final_message(const char* text, const char* caption) = 0;

    // Starts the installed program: `command_line` (writable) in `folder`,
    // the setup's environment inherited. False when it cannot be started.
    virtual bool start_program(char* command_line, const char* folder) = 0;
    // True when the started program ended within `milliseconds`.
    virtual bool wait_for_program(uint32_t milliseconds) = 0;
    // Releases the process; the program itself runs on.
    virtual void close_program() = 0;
};
