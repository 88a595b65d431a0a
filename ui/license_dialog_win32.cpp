#include <windows.h>
#include <richedit.h>

#include "setup/package_resource_win32.h"
#include "setup/setup_state.h"
#include "setup/system_library_win32.h"
#include "ui/dialog_ids.h"
#include "ui/dialogs_win32.h"
#include "ui/license_dialog.h"
#include "ui/resources/resource_ids.h"

namespace {

class Win32LicenseRunner : public LicenseRunner {
public:
    bool load_rich_edit() override {
        // Loading it registers the "RichEdit20A" class that dialog 137 names.
        library_ = load_system_library("RICHED20.DLL");
        return library_ != nullptr;
    }
    void free_rich_edit() override {
        FreeLibrary(library_);
        library_ = nullptr;
    }
    intptr_t show_license_dialog() override {
        return DialogBoxParamA(static_cast<HINSTANCE>(setup_state.instance), MAKEINTRESOURCEA(IDD_LICENSE), nullptr,
                               license_dialog_proc, 0);
    }

private:
    HMODULE library_ = nullptr;
};

class Win32LicenseHost : public LicenseDialogHost {
public:
    explicit Win32LicenseHost(HWND dialog) : dialog_(dialog) {}
    void set_small_icon() override { ::set_small_icon(dialog_); }
    void enable_agree(bool enabled) override { EnableWindow(GetDlgItem(dialog_, kButtonOk), enabled); }
    bool is_agreement_ticked() override { return IsDlgButtonChecked(dialog_, IDC_LICENSE_ACCEPT) == BST_CHECKED; }
    void end_dialog(intptr_t result) override { EndDialog(dialog_, result); }
    void load_license_text() override { ::load_license_text(dialog_, IDC_LICENSE_TEXT); }

private:
    HWND dialog_;
};

}  // namespace

bool run_license_dialog() {
    Win32LicenseRunner runner;
    return run_license_dialog(runner);
}

INT_PTR CALLBACK license_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Win32LicenseHost host(dialog);
    switch (message) {
    case WM_INITDIALOG:
        return license_dialog_init(host);
    case WM_COMMAND:
        return license_dialog_command(host, LOWORD(wparam));
    default:
        return FALSE;
    }
}

DWORD CALLBACK license_stream_callback(DWORD_PTR cookie, LPBYTE buffer, LONG requested, LONG* delivered) {
    int32_t count = 0;
    const uint32_t result = license_stream_read(cookie, buffer, int32_t(requested), delivered ? &count : nullptr);
    if (delivered) *delivered = LONG(count);
    return DWORD(result);
}

void load_license_text(HWND dialog, int control) {
    free_license_stream();
    const PackageResource package = find_package_resource(static_cast<HINSTANCE>(setup_state.instance));
    if (package.lookup != PackageLookup::found) return;
    setup_state.package_data = package.data;
    if (!fill_license_stream(package.data, package.size)) return;
    EDITSTREAM stream = {};
    stream.dwCookie = 0;
    stream.dwError = 0;
    stream.pfnCallback = license_stream_callback;
    SendDlgItemMessageA(dialog, control, EM_STREAMIN, SF_RTF | SFF_PLAINRTF, reinterpret_cast<LPARAM>(&stream));
}
