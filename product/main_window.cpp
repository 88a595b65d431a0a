#include "product/main_window.h"

#include <shellapi.h>

#include <cstring>

#include "product/songwright_ids.h"

namespace {

constexpr const char* kWindowClass = "SongwrightMainWindow";
constexpr const char* kHelpFile = "Songwright.chm";
constexpr int kTextCapacity = 512;
constexpr int kMargin = 16;

HINSTANCE g_instance = nullptr;

void load_text(UINT id, char (&text)[kTextCapacity]) {
    if (LoadStringA(g_instance, id, text, kTextCapacity) <= 0) text[0] = '\0';
}

// The help file beside the program.
bool help_file_path(char (&path)[MAX_PATH]) {
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    if (size_t(name - path) + std::strlen(kHelpFile) >= MAX_PATH) return false;
    std::strcpy(name, kHelpFile);
    return true;
}

void show_message(HWND window, UINT id, UINT style) {
    char text[kTextCapacity];
    char title[kTextCapacity];
    load_text(id, text);
    load_text(IDS_WINDOW_TITLE, title);
    MessageBoxA(window, text, title, style);
}

void open_help(HWND window) {
    char path[MAX_PATH];
    const bool opened =
        help_file_path(path) &&
        INT_PTR(ShellExecuteA(window, "open", path, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
    if (!opened) show_message(window, IDS_NO_HELP, MB_OK | MB_ICONWARNING);
}

void paint(HWND window) {
    PAINTSTRUCT paint_info;
    HDC dc = BeginPaint(window, &paint_info);
    RECT area;
    GetClientRect(window, &area);
    InflateRect(&area, -kMargin, -kMargin);
    char text[kTextCapacity];
    load_text(IDS_WELCOME, text);
    HGDIOBJ old_font = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &area, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old_font);
    EndPaint(window, &paint_info);
}

LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_SIZE:
            InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDM_FILE_EXIT: DestroyWindow(window); return 0;
                case IDM_HELP_CONTENTS: open_help(window); return 0;
                case IDM_HELP_ABOUT: show_message(window, IDS_ABOUT, MB_OK | MB_ICONINFORMATION); return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int run_main_window(HINSTANCE instance, int show) {
    g_instance = instance;
    WNDCLASSEXA window_class = {};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SONGWRIGHT));
    window_class.hIconSm = static_cast<HICON>(LoadImageA(
        instance, MAKEINTRESOURCEA(IDI_SONGWRIGHT), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    window_class.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszMenuName = MAKEINTRESOURCEA(IDM_MAIN_MENU);
    window_class.lpszClassName = kWindowClass;
    if (!RegisterClassExA(&window_class)) return 1;

    char title[kTextCapacity];
    load_text(IDS_WINDOW_TITLE, title);
    HWND window = CreateWindowExA(0, kWindowClass, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 480, 300, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);

    HACCEL keys = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN_KEYS));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (keys != nullptr && TranslateAcceleratorA(window, keys, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
