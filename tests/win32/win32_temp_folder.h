// A fresh folder under the Windows temporary folder (a "C:\..." path),
// removed with everything in it.
#pragma once

#include <windows.h>

#include <string>

class Win32TempFolder {
public:
    Win32TempFolder() {
        char base[MAX_PATH];
        char name[MAX_PATH];
        if (GetTempPathA(MAX_PATH, base) && GetTempFileNameA(base, "stp", 0, name)) {
            DeleteFileA(name);
            if (CreateDirectoryA(name, nullptr)) path_ = name;
        }
    }
    ~Win32TempFolder() {
        if (!path_.empty()) remove_tree(path_);
    }
    Win32TempFolder(const Win32TempFolder&) = delete;
    Win32TempFolder& operator=(const Win32TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string join(const std::string& name) const { return path_ + "\\" + name; }

private:
    static void remove_tree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                const std::string item = folder + "\\" + name;
                SetFileAttributesA(item.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) remove_tree(item);
                else DeleteFileA(item.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string path_;
};
