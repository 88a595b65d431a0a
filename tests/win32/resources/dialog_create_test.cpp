// Each template makes a real dialog with every control in place, hidden
// until shown; the manifest gives the dialogs version 6 of the common
// controls.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

INT_PTR CALLBACK quiet_dialog_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct ControlClass {
    int id;
    const char* window_class;
};

struct DialogCase {
    int id;
    std::vector<ControlClass> controls;
};

const DialogCase kDialogs[] = {
    {IDD_LICENSE,
     {{IDOK, "Button"}, {IDCANCEL, "Button"}, {IDC_LICENSE_ACCEPT, "Button"}, {IDC_LICENSE_TEXT, "RichEdit20A"}}},
    {IDD_DESTINATION,
     {{IDOK, "Button"},
      {IDCANCEL, "Button"},
      {IDC_FOLDER_EDIT, "Edit"},
      {IDC_BROWSE, "Button"},
      {IDC_INTRO_TEXT, "Static"},
      {IDC_LOGO, "Static"}}},
    {IDD_PROGRESS, {{IDCANCEL, "Button"}, {IDC_CURRENT_FILE, "Static"}, {IDC_PROGRESS_BAR, "msctls_progress32"}}},
};

class DialogCreate : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        rich_edit_ = LoadLibraryA("RICHED20.DLL");
    }
    static void TearDownTestSuite() {
        if (rich_edit_ != nullptr) FreeLibrary(rich_edit_);
    }
    static HMODULE rich_edit_;
};

HMODULE DialogCreate::rich_edit_ = nullptr;

TEST_F(DialogCreate, EveryTemplateMakesItsControls) {
    ASSERT_NE(rich_edit_, nullptr) << "RICHED20.DLL registers the class of control 1010";
    for (const DialogCase& c : kDialogs) {
        SCOPED_TRACE(c.id);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.id), nullptr,
                                         quiet_dialog_proc, 0);
        ASSERT_NE(dialog, nullptr) << GetLastError();
        EXPECT_FALSE(IsWindowVisible(dialog));
        for (const ControlClass& control : c.controls) {
            SCOPED_TRACE(control.id);
            HWND item = GetDlgItem(dialog, control.id);
            ASSERT_NE(item, nullptr);
            char name[64] = "";
            GetClassNameA(item, name, sizeof(name));
            EXPECT_EQ(lstrcmpiA(name, control.window_class), 0) << name;
        }
        DestroyWindow(dialog);
    }
}

TEST_F(DialogCreate, DestinationTextsArrive) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DESTINATION),
                                     nullptr, quiet_dialog_proc, 0);
    ASSERT_NE(dialog, nullptr);
    char text[260] = "";
    GetWindowTextA(dialog, text, sizeof(text));
    EXPECT_STREQ(text, "Songwright Setup");
    GetDlgItemTextA(dialog, IDC_BROWSE, text, sizeof(text));
    EXPECT_STREQ(text, "...");
    GetDlgItemTextA(dialog, IDC_FOLDER_EDIT, text, sizeof(text));
    EXPECT_STREQ(text, "");
    DestroyWindow(dialog);
}

// The manifest's dependency makes the system load comctl32 from the
// side-by-side store of version 6; without it, from the system folder.
TEST_F(DialogCreate, ManifestSelectsCommonControlsSix) {
    HMODULE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    char path[MAX_PATH] = "";
    ASSERT_GT(GetModuleFileNameA(comctl, path, MAX_PATH), 0u);
    CharLowerA(path);
    EXPECT_NE(std::strstr(path, "\\winsxs\\"), nullptr) << path;
    EXPECT_NE(std::strstr(path, "microsoft.windows.common-controls_6595b64144ccf1df_6.0."), nullptr) << path;
}

}  // namespace
