#include <windows.h>
#include <shlobj.h>

#include "package/archive.h"
#include "setup/setup_state.h"
#include "ui/dialogs_win32.h"
#include "ui/message_text.h"
#include "ui/resources/resource_ids.h"

bool browse_for_folder(HWND owner, char* path) {
    char title[kFormatCapacity] = "";
    LoadStringA(static_cast<HINSTANCE>(setup_state.instance), IDS_BROWSE_TITLE, title, sizeof title);
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    // The chooser writes the chosen item's display name here; it is not used.
    auto* display_name = static_cast<char*>(allocator->Alloc(kPathCapacity));
    LPITEMIDLIST drives = nullptr;
    if (!display_name || FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &drives))) {
        allocator->Free(display_name);
        allocator->Release();
        return false;
    }
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pidlRoot = drives;
    info.pszDisplayName = display_name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = nullptr;
    info.lParam = 0;
    bool chosen = false;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (item) {
        // An item without a file-system path counts as no choice, and the
        // caller's path stays as it was.
        char chosen_path[MAX_PATH] = "";
        chosen = SHGetPathFromIDListA(item, chosen_path) && chosen_path[0] != '\0';
        if (chosen) lstrcpynA(path, chosen_path, int(kPathCapacity));
        allocator->Free(item);
    }
    allocator->Free(drives);
    allocator->Free(display_name);
    allocator->Release();
    return chosen;
}
