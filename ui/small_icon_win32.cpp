#include "setup/setup_state.h"
#include "ui/dialogs_win32.h"
#include "ui/resources/resource_ids.h"

void set_small_icon(HWND dialog) {
    HANDLE icon = LoadImageA(static_cast<HINSTANCE>(setup_state.instance), MAKEINTRESOURCEA(IDI_SETUP_SMALL),
                             IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                             LR_DEFAULTCOLOR);
    if (icon) SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}
