// The decisions of the licence agreement dialog: whether the run goes on,
// what each command does, and the licence text taken from the package and
// handed to the rich edit control in pieces.
#pragma once

#include <cstddef>
#include <cstdint>

// The licence entry of the package: this exact name, case and all.
constexpr char kLicenseEntryName[] = "License.rtf";

// The licence text while the dialog is open.
struct LicenseStream {
    uint8_t* data;     // the entry's bytes, not terminated; null when there is none
    int32_t size;      // bytes in data
    int32_t position;  // bytes already handed to the control
};

extern LicenseStream license_stream;

// Reads the package's licence entry (the first one named exactly
// kLicenseEntryName) into license_stream, position 0. False, with no data,
// when the package cannot be read, holds no such entry or memory is short.
bool fill_license_stream(const void* package, uint32_t package_size);

// Frees the text; data becomes null.
void free_license_stream();

// The stream callback: hands the next at most `requested` bytes of the text
// to `buffer`; 0 delivered once the text is used up. 0 on success, 1 when the
// buffer or the count's place is missing. The cookie is not used.
uint32_t license_stream_read(uintptr_t cookie, uint8_t* buffer, int32_t requested, int32_t* delivered);

// What running the dialog needs of the system.
class LicenseRunner {
public:
    virtual ~LicenseRunner() = default;
    // Loads the rich edit library, which registers the control's class.
    virtual bool load_rich_edit() = 0;
    virtual void free_rich_edit() = 0;
    // Shows the modal dialog; its result (-1 when it could not be shown).
    virtual intptr_t show_license_dialog() = 0;
};

// True when the installation may go on: accepted, or no rich edit library
// (the step is then skipped).
bool run_license_dialog(LicenseRunner& runner);

// What the dialog procedure needs of its window.
class LicenseDialogHost {
public:
    virtual ~LicenseDialogHost() = default;
    virtual void set_small_icon() = 0;
    virtual void enable_agree(bool enabled) = 0;
    virtual bool is_agreement_ticked() = 0;
    virtual void end_dialog(intptr_t result) = 0;
    // Fills the rich edit control with the licence text.
    virtual void load_license_text() = 0;
};

// WM_INITDIALOG: small icon, "I agree" disabled, the text loaded. Returns
// FALSE, so that the system does not place the focus.
intptr_t license_dialog_init(LicenseDialogHost& host);

// WM_COMMAND with command `id`: what license_dialog_proc returns.
intptr_t license_dialog_command(LicenseDialogHost& host, int id);
