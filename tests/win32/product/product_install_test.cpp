// Songwright.exe /Install, as the setup starts it: from its install folder,
// it records that folder in the registry and puts a shortcut to itself in
// the Start menu, then ends with exit code 0.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>

namespace {

constexpr const char* kRegistryKey = "Software\\Morrow\\Songwright";

// The built program's Linux path, seen through wine's Z: drive.
std::string built_program() {
    std::string path = "Z:" SONGWRIGHT_EXE;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string registry_value(const char* name) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, kRegistryKey, name, RRF_RT_REG_SZ, &type, value, &size) !=
        ERROR_SUCCESS) {
        return "<missing>";
    }
    return value;
}

std::string programs_folder() {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

// The target of a shell link, or "" when it cannot be read.
std::string link_target(const std::string& link_path) {
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return target;
    }
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link_path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        char path[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0))) {
            target = path;
        }
        file->Release();
    }
    link->Release();
    return target;
}

// Runs `command_line` in `folder` and gives its exit code (-1: not started
// or not ended within 20 seconds, as the setup waits). With `error_file`,
// the program's standard error goes to that file.
long run(std::string command_line, const std::string& folder, const std::string& error_file = "") {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    HANDLE error = INVALID_HANDLE_VALUE;
    if (!error_file.empty()) {
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        error = CreateFileA(error_file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (error == INVALID_HANDLE_VALUE) return -1;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdError = error;
    }
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, &command_line[0], nullptr, nullptr,
                                        error != INVALID_HANDLE_VALUE, NORMAL_PRIORITY_CLASS,
                                        nullptr, folder.c_str(), &startup, &process);
    if (error != INVALID_HANDLE_VALUE) CloseHandle(error);
    if (!started) return -1;
    DWORD code = DWORD(-1);
    if (WaitForSingleObject(process.hProcess, 20000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return long(code);
}

std::string file_text(const std::string& path) {
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[512];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &count, nullptr) && count > 0) text.append(buffer, count);
    CloseHandle(file);
    return text;
}

class ProductInstall : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        folder_ = std::string(temp) + "Songwright install " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        program_ = folder_ + "\\Songwright.exe";
        ASSERT_TRUE(CopyFileA(built_program().c_str(), program_.c_str(), FALSE)) << built_program();
        shortcut_folder_ = programs_folder() + "\\Morrow";
        shortcut_ = shortcut_folder_ + "\\Songwright.lnk";
        clean_registration();
    }

    void TearDown() override {
        clean_registration();
        DeleteFileA(program_.c_str());
        DeleteFileA((folder_ + "\\errors.txt").c_str());
        RemoveDirectoryA(folder_.c_str());
        CoUninitialize();
    }

    void clean_registration() {
        RegDeleteKeyA(HKEY_CURRENT_USER, kRegistryKey);
        DeleteFileA(shortcut_.c_str());
        RemoveDirectoryA(shortcut_folder_.c_str());
        DeleteFileA(shortcut_folder_.c_str());
    }

    std::string folder_, program_, shortcut_folder_, shortcut_;
};

TEST_F(ProductInstall, RegistersFolderAndStartMenuShortcut) {
    ASSERT_EQ(run("\"" + program_ + "\" /Install", folder_), 0);
    EXPECT_EQ(registry_value("InstallFolder"), folder_);
    EXPECT_EQ(registry_value("Version"), "4.30");
    EXPECT_NE(GetFileAttributesA(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES) << shortcut_;
    EXPECT_EQ(lstrcmpiA(link_target(shortcut_).c_str(), program_.c_str()), 0) << link_target(shortcut_);
}

TEST_F(ProductInstall, ArgumentIsCaseInsensitiveAndRunsAgain) {
    ASSERT_EQ(run("\"" + program_ + "\" /install", folder_), 0);
    ASSERT_EQ(run("\"" + program_ + "\" /INSTALL ", folder_), 0);
    EXPECT_EQ(registry_value("InstallFolder"), folder_);
    EXPECT_NE(GetFileAttributesA(shortcut_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A file where the Start-menu folder should be: the registry is written,
// the shortcut cannot be, and the program says so and ends with code 3.
TEST_F(ProductInstall, BlockedStartMenuFolderFailsWithItsReason) {
    HANDLE blocker = CreateFileA(shortcut_folder_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    const std::string errors = folder_ + "\\errors.txt";
    EXPECT_EQ(run("\"" + program_ + "\" /Install", folder_, errors), 3);
    EXPECT_EQ(registry_value("InstallFolder"), folder_);
    EXPECT_EQ(file_text(errors), "Songwright cannot find or create its folder in the Start menu.\n");
}

}  // namespace
