#include "tests/e2e/robot/window_actions.h"

namespace {

constexpr UINT kSendFlags = SMTO_BLOCK;
constexpr UINT kSendTimeoutMs = 5000;

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wparam, lparam, kSendFlags, kSendTimeoutMs, &result);
    return LRESULT(result);
}

}  // namespace

void post_click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool is_checked(HWND box) { return send(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool set_checked(HWND box, bool checked) {
    if (is_checked(box) != checked) send(box, BM_CLICK, 0, 0);
    return is_checked(box) == checked;
}

void type_text(HWND field, const std::string& text) {
    send(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void press_escape(HWND window) {
    const LPARAM down = 1 | LPARAM(MapVirtualKeyA(VK_ESCAPE, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, down);
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, down | LPARAM(3) << 30);  // previous state down, released
}

void press_close_box(HWND window) { PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }

void move_window(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<int> default_buttons(HWND window, const std::vector<int>& ids) {
    std::vector<int> found;
    for (int id : ids) {
        HWND button = GetDlgItem(window, id);
        if (button && (GetWindowLongPtrA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) found.push_back(id);
    }
    return found;
}

bool wait_until_gone(HWND window, DWORD timeout_ms, DWORD poll_ms) {
    const DWORD begin = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - begin >= timeout_ms) return false;
        Sleep(poll_ms);
    }
    return true;
}
