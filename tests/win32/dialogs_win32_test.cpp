// The setup's Win32 side on real windows, with the resource set and a
// package linked into this test program, run under wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "package/archive.h"
#include "setup/integrity_check_win32.h"
#include "setup/last_error_win32.h"
#include "setup/package_resource_win32.h"
#include "setup/setup_state.h"
#include "setup/system_library_win32.h"
#include "setup/win32_platform.h"
#include "ui/dialogs_win32.h"
#include "ui/license_dialog.h"
#include "ui/resources/resource_ids.h"

namespace {

std::string string_resource(UINT id) {
    char text[260] = "";
    LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

std::string control_text(HWND dialog, int id) {
    char text[1024] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

class DialogsWin32Test : public ::testing::Test {
protected:
    void SetUp() override {
        setup_state.instance = GetModuleHandleA(nullptr);
        setup_state.target_folder[0] = '\0';
        setup_state.cancelled = false;
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override {
        setup_state.target_folder[0] = '\0';
        setup_state.cancelled = false;
        setup_state.progress_window = nullptr;
        free_license_stream();
    }
};

TEST_F(DialogsWin32Test, LicenceAgreeFollowsTheBox) {
    HMODULE rich_edit = load_system_library("RICHED20.DLL");
    ASSERT_NE(rich_edit, nullptr);
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_LICENSE), nullptr,
                                     license_dialog_proc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND agree = GetDlgItem(dialog, IDOK);
    EXPECT_FALSE(IsWindowEnabled(agree));
    SendDlgItemMessageA(dialog, IDC_LICENSE_ACCEPT, BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(agree));
    SendDlgItemMessageA(dialog, IDC_LICENSE_ACCEPT, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(agree));
    // The package's licence was streamed in whole.
    ASSERT_NE(license_stream.data, nullptr);
    EXPECT_GT(license_stream.size, 0);
    EXPECT_EQ(license_stream.position, license_stream.size);
    EXPECT_GT(GetWindowTextLengthA(GetDlgItem(dialog, IDC_LICENSE_TEXT)), 0);
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    // Declining frees the text.
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(license_stream.data, nullptr);
    DestroyWindow(dialog);
    FreeLibrary(rich_edit);
}

TEST_F(DialogsWin32Test, DestinationDialogOffersTheDefaultFolder) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DESTINATION), nullptr,
                                     setup_dialog_proc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(control_text(dialog, IDC_FOLDER_EDIT), string_resource(IDS_DEFAULT_FOLDER));
    EXPECT_EQ(control_text(dialog, IDC_FOLDER_EDIT), "C:\\Program Files\\Morrow\\Songwright");
    EXPECT_STREQ(setup_state.target_folder, "");
    EXPECT_NE(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    // Install with a folder that exists ends the dialog (hides it, as it is
    // modeless here) without a question.
    char windows_folder[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows_folder, MAX_PATH), 0u);
    SetDlgItemTextA(dialog, IDC_FOLDER_EDIT, windows_folder);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_EQ(SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0), 0);
    EXPECT_STREQ(setup_state.target_folder, windows_folder);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

TEST_F(DialogsWin32Test, CancelBeforeAnyFolderEndsAtOnce) {
    HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_DESTINATION), nullptr,
                                     setup_dialog_proc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(setup_state.cancelled);
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

TEST_F(DialogsWin32Test, ProgressDialogThroughThePlatform) {
    std::strcpy(setup_state.target_folder, "C:\\Dest");
    Win32SetupPlatform platform;
    setup_state.progress_window = platform.create_progress_dialog();
    HWND dialog = static_cast<HWND>(setup_state.progress_window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog));
    // The destination dialog's start does not happen here.
    EXPECT_EQ(SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0), 0);
    platform.set_progress_label("C:\\Dest\\Songwright.exe");
    EXPECT_EQ(control_text(dialog, IDC_CURRENT_FILE), "C:\\Dest\\Songwright.exe");
    platform.start_progress_bar();
    platform.show_progress_dialog();
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(platform.process_pending_messages(), 0);
    platform.set_progress_position(42);
    HWND bar = GetDlgItem(dialog, IDC_PROGRESS_BAR);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 42);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    platform.destroy_progress_dialog();
    EXPECT_FALSE(IsWindow(dialog));
}

LRESULT CALLBACK counting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return DefWindowProcA(window, message, wparam, lparam);
}

TEST_F(DialogsWin32Test, PumpDispatchesWhatWaitsAndReturns) {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = counting_proc;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "SetupPumpTest";
    RegisterClassA(&window_class);
    HWND window = CreateWindowA("SetupPumpTest", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    int count = 0;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
    for (int i = 0; i < 3; ++i) PostMessageA(window, WM_APP, 0, 0);
    EXPECT_EQ(process_pending_messages(), 0);
    EXPECT_EQ(count, 3);
    MSG left;
    EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE | PM_NOYIELD) && left.message == WM_APP);
    EXPECT_EQ(process_pending_messages(), 0);  // an empty queue: returns at once
    DestroyWindow(window);
}

TEST_F(DialogsWin32Test, PackageResourceOfThisModule) {
    const PackageResource package = find_package_resource(GetModuleHandleA(nullptr));
    ASSERT_EQ(package.lookup, PackageLookup::found);
    PackageArchive* archive = archive_open(package.data, package.size, storage_memory);
    ASSERT_NE(archive, nullptr);
    ArchiveEntry entry{};
    EXPECT_EQ(archive_get_entry(archive, -1, &entry), status_ok);
    EXPECT_GT(entry.index, 0);
    archive_close(archive);
    // A module without one.
    EXPECT_EQ(find_package_resource(GetModuleHandleA("kernel32.dll")).lookup, PackageLookup::missing);
}

TEST_F(DialogsWin32Test, SystemLibrariesComeFromTheSystemFolder) {
    char system_folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system_folder, MAX_PATH);
    ASSERT_GT(length, 0u);
    for (const char* name : {"IMAGEHLP.DLL", "RICHED20.DLL"}) {
        HMODULE library = load_system_library(name);
        ASSERT_NE(library, nullptr) << name;
        char path[MAX_PATH] = "";
        GetModuleFileNameA(library, path, MAX_PATH);
        EXPECT_EQ(_strnicmp(path, system_folder, length), 0) << path;
        FreeLibrary(library);
    }
    EXPECT_EQ(load_system_library("NO_SUCH_LIBRARY_1234.DLL"), nullptr);
}

TEST_F(DialogsWin32Test, LastErrorText) {
    char text[260];
    SetLastError(ERROR_FILE_NOT_FOUND);
    format_last_error(text, sizeof text);
    EXPECT_GT(std::strlen(text), 0u);
    SetLastError(0x2000FFFF);  // a code no system text exists for
    format_last_error(text, sizeof text);
    EXPECT_STREQ(text, "Error 536936447.");
    char small[8];
    SetLastError(ERROR_ACCESS_DENIED);
    format_last_error(small, sizeof small);
    EXPECT_LT(std::strlen(small), sizeof small);
}

TEST_F(DialogsWin32Test, ThisLinkedProgramPassesTheIntegrityCheck) { EXPECT_TRUE(verify_setup_checksum()); }

TEST_F(DialogsWin32Test, StartsAndWaitsForAProgram) {
    Win32SetupPlatform platform;
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    char windows_folder[MAX_PATH];
    GetWindowsDirectoryA(windows_folder, MAX_PATH);
    std::string line = std::string("\"") + self + "\" --gtest_list_tests --gtest_filter=None";
    ASSERT_TRUE(platform.start_program(line.data(), windows_folder));
    EXPECT_TRUE(platform.wait_for_program(20000));
    platform.close_program();

    std::string missing = "\"C:\\No Such Folder\\Songwright.exe\" /Install";
    EXPECT_FALSE(platform.start_program(missing.data(), windows_folder));
    char text[260];
    platform.format_last_error(text, sizeof text);
    EXPECT_GT(std::strlen(text), 0u);
}

}  // namespace
