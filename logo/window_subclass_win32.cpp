#include "logo/window_subclass_win32.h"

#include "logo/logo_logic.h"

namespace {

// The window property that ties a window to its object.
constexpr char kInstanceProperty[] = "SongwrightWindowSubclass";

WNDPROC current_procedure(HWND hwnd) {
    return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
}

// The procedure it replaced, or null when it could not be set (a window
// procedure is never null, so null is free to mean failure).
WNDPROC replace_procedure(HWND hwnd, WNDPROC procedure) {
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

}  // namespace

WindowSubclass::~WindowSubclass() {
    if (window) detach(TRUE);
}

WNDPROC WindowSubclass::window_procedure() {
    return route_message;
}

void WindowSubclass::on_final_message(HWND) {}

bool WindowSubclass::attach(HWND hwnd) {
    if (window || !IsWindow(hwnd) || GetPropA(hwnd, kInstanceProperty)) return false;
    const WNDPROC entry = window_procedure();
    // The property first: the first message through the new procedure must
    // find this object.
    if (!SetPropA(hwnd, kInstanceProperty, this)) return false;
    const WNDPROC replaced = replace_procedure(hwnd, entry);
    if (!replaced) {
        RemovePropA(hwnd, kInstanceProperty);
        return false;
    }
    entry_point = entry;
    previous_procedure = replaced;
    window = hwnd;
    return true;
}

HWND WindowSubclass::detach(BOOL force) {
    if (!window) return nullptr;
    if (!may_detach(force != FALSE, current_procedure(window) == entry_point)) return nullptr;
    if (!replace_procedure(window, previous_procedure)) return nullptr;
    RemovePropA(window, kInstanceProperty);
    const HWND former = window;
    forget_window();
    return former;
}

void WindowSubclass::forget_window() {
    window = nullptr;
    previous_procedure = DefWindowProcA;
}

LRESULT CALLBACK WindowSubclass::route_message(HWND hwnd, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
    auto* self = static_cast<WindowSubclass*>(GetPropA(hwnd, kInstanceProperty));
    if (!self) return DefWindowProcA(hwnd, message, wparam, lparam);
    return self->route(hwnd, message, wparam, lparam);
}

LRESULT WindowSubclass::route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    // Taken now: a handler may detach while the message is on its way.
    const WNDPROC previous = previous_procedure;
    const bool last_message = message == WM_NCDESTROY;
    const WNDPROC before = last_message ? current_procedure(hwnd) : nullptr;

    ++message_depth;
    LRESULT result = 0;
    if (!process_message(hwnd, message, wparam, lparam, &result, 0)) {
        result = CallWindowProcA(previous, hwnd, message, wparam, lparam);
    }
    --message_depth;

    if (last_message && window == hwnd) {
        // Decided while the window still exists; the property goes with it.
        const WNDPROC now = current_procedure(hwnd);
        restore_allowed = restore_after_final_message(previous == DefWindowProcA,
                                                      now == entry_point, now == before);
        RemovePropA(hwnd, kInstanceProperty);
        final_message_pending = true;
    }
    // An outer message of the window still runs on this object: the clean-up
    // waits until it has returned.
    if (final_message_pending && message_depth == 0) finish_final_message();
    return result;
}

void WindowSubclass::finish_final_message() {
    final_message_pending = false;
    const HWND former = window;
    // Once the outer message has returned the window is gone, and so is the
    // need to give it its procedure back.
    if (restore_allowed && IsWindow(former)) replace_procedure(former, previous_procedure);
    restore_allowed = false;
    forget_window();
    on_final_message(former);
}
