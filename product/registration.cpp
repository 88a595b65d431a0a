#include "product/registration.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>

namespace {

// The program's full path and its folder (the path without the file name).
bool module_paths(char (&program)[MAX_PATH], char (&folder)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    std::memcpy(folder, program, length + 1);
    char* separator = std::strrchr(folder, '\\');
    if (separator == nullptr) return false;
    *separator = '\0';
    return true;
}

bool set_string(HKEY key, const char* name, const char* value) {
    const DWORD size = DWORD(std::strlen(value) + 1);
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), size) ==
           ERROR_SUCCESS;
}

bool write_registry(const char* folder) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const bool written = set_string(key, kInstallFolderValue, folder) &&
                         set_string(key, kVersionValue, kVersion);
    RegCloseKey(key);
    return written;
}

// <Programs>\Morrow, created when missing.
bool shortcut_folder(char (&path)[MAX_PATH]) {
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return false;
    }
    const size_t length = std::strlen(path);
    if (length + 1 + std::strlen(kShortcutFolder) >= MAX_PATH) return false;
    path[length] = '\\';
    std::strcpy(path + length + 1, kShortcutFolder);
    if (CreateDirectoryA(path, nullptr)) return true;
    // Something of that name may be there already: fine if it is a folder.
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool save_shortcut(const char* program, const char* folder, const char* link_path) {
    WCHAR wide_path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide_path, MAX_PATH) == 0) return false;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        return false;
    }
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(program)) && SUCCEEDED(link->SetWorkingDirectory(folder)) &&
        SUCCEEDED(link->SetDescription("Songwright")) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(wide_path, TRUE));
        file->Release();
    }
    link->Release();
    return saved;
}

RegistrationResult create_shortcut(const char* program, const char* folder) {
    char link_path[MAX_PATH];
    if (!shortcut_folder(link_path)) return registration_no_programs_folder;
    const size_t length = std::strlen(link_path);
    if (length + 1 + std::strlen(kShortcutFile) >= MAX_PATH) return registration_no_programs_folder;
    link_path[length] = '\\';
    std::strcpy(link_path + length + 1, kShortcutFile);

    const bool com_ready = SUCCEEDED(CoInitialize(nullptr));
    const bool saved = save_shortcut(program, folder, link_path);
    if (com_ready) CoUninitialize();
    return saved ? registration_ok : registration_shortcut_failed;
}

}  // namespace

RegistrationResult register_installation() {
    char program[MAX_PATH];
    char folder[MAX_PATH];
    if (!module_paths(program, folder)) return registration_no_module_path;
    if (!write_registry(folder)) return registration_registry_failed;
    return create_shortcut(program, folder);
}

const char* registration_result_text(RegistrationResult result) {
    switch (result) {
        case registration_ok: return "Songwright is registered.";
        case registration_no_module_path: return "Songwright cannot find its own file.";
        case registration_registry_failed:
            return "Songwright cannot write its settings to the registry.";
        case registration_no_programs_folder:
            return "Songwright cannot find or create its folder in the Start menu.";
        case registration_shortcut_failed:
            return "Songwright cannot create its shortcut in the Start menu.";
    }
    return "Songwright cannot be registered.";
}
