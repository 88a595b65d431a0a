#include <windows.h>

#include "package/file_system.h"
#include "setup/setup_state.h"
#include "ui/dialogs_win32.h"
#include "ui/folder_dialog.h"
#include "ui/resources/resource_ids.h"

namespace {

// The animated logo takes over the logo area while the destination dialog
// exists. A logo that does not load leaves the area an empty frame.
void start_logo(HWND area) {
    setup_state.logo.attach(area);
    if (setup_state.logo.load(MAKEINTRESOURCEA(IDR_LOGO), LOGO_RESOURCE_TYPE)) setup_state.logo.play();
}

void stop_logo() {
    if (!setup_state.logo.window) return;
    setup_state.logo.unload();
    setup_state.logo.detach(FALSE);
}

class Win32FolderHost : public FolderDialogHost {
public:
    explicit Win32FolderHost(HWND dialog) : dialog_(dialog) {}

    void load_string(uint32_t id, char* buffer, size_t capacity) override {
        buffer[0] = '\0';
        LoadStringA(static_cast<HINSTANCE>(setup_state.instance), id, buffer, int(capacity));
    }
    void read_folder_field(char* buffer, size_t capacity) override {
        buffer[0] = '\0';
        GetDlgItemTextA(dialog_, IDC_FOLDER_EDIT, buffer, int(capacity));
    }
    void set_folder_field(const char* text) override { SetDlgItemTextA(dialog_, IDC_FOLDER_EDIT, text); }
    bool folder_exists(const char* path) override { return fs_is_folder(path); }
    bool create_folder_path(char* path) override { return ::create_folder_path(path) != 0; }
    bool ask_yes_no(const char* text, const char* caption, DefaultAnswer default_answer) override {
        UINT style = MB_YESNO | MB_ICONQUESTION;
        if (default_answer == DefaultAnswer::no) style |= MB_DEFBUTTON2;
        return MessageBoxA(dialog_, text, caption, style) == IDYES;
    }
    void show_error(const char* text, const char* caption) override {
        MessageBoxA(dialog_, text, caption, MB_OK | MB_ICONERROR);
    }
    void end_dialog(intptr_t result) override { EndDialog(dialog_, result); }
    // No owner: the destination dialog stays usable while the chooser is open.
    bool browse_for_folder(char* path) override { return ::browse_for_folder(nullptr, path); }
    void set_small_icon() override { ::set_small_icon(dialog_); }
    void start_logo() override {
        if (HWND area = GetDlgItem(dialog_, IDC_LOGO)) ::start_logo(area);
    }

private:
    HWND dialog_;
};

}  // namespace

INT_PTR CALLBACK setup_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    Win32FolderHost host(dialog);
    switch (message) {
    case WM_INITDIALOG:
        // FALSE: the system does not place the focus.
        folder_dialog_init(host);
        return FALSE;
    case WM_COMMAND:
        return setup_dialog_command(host, LOWORD(wparam));
    case WM_DESTROY:
        // Before the child windows go: the logo area still exists.
        stop_logo();
        return FALSE;
    default:
        return FALSE;
    }
}
