// A small base for a C++ object that takes over an existing window by
// subclassing it: every message of the window reaches `process_message`
// first and the window's previous procedure otherwise. When the window is
// destroyed while attached, the previous procedure is put back and
// `on_final_message` is called.
//
// How a window finds its object: a window property holding the instance,
// read by one shared procedure. An executable thunk per instance would avoid
// the property look-up, but needs writable-then-executable memory and
// different machine code for x86 and x86-64; the property is the same code
// on both, so the build that is tested is the build that ships. One object
// per window: `attach` refuses a window that already carries one.
#pragma once

#include <windows.h>

class WindowSubclass {
public:
    WindowSubclass() = default;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    // The message table: true when the message was handled, with its result
    // in `result`. Only table 0 is used.
    virtual bool process_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam,
                                 LRESULT* result, DWORD table_id) = 0;
    // Still attached at destruction: the window gets its procedure back, so
    // it never calls into a dead object.
    virtual ~WindowSubclass();
    // The shared procedure the window is given; it routes to this object.
    virtual WNDPROC window_procedure();
    // After the window's last message, with the handle it had; nothing here.
    virtual void on_final_message(HWND former_window);

    // Subclasses `hwnd`. False, with `window` left null, when this object is
    // already attached, the window already has an object, or the window's
    // procedure cannot be replaced.
    bool attach(HWND hwnd);

    // Puts the previous procedure back. Without `force`, refuses (null, no
    // change) while another subclass sits on top of this one. Gives the
    // former window, or null when nothing was changed.
    HWND detach(BOOL force);

    HWND window = nullptr;                              // null while detached
    WNDPROC previous_procedure = DefWindowProcA;        // DefWindowProcA while detached

private:
    static LRESULT CALLBACK route_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT route(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    void finish_final_message();
    void forget_window();

    WNDPROC entry_point = nullptr;      // what `attach` installed
    int message_depth = 0;              // messages of the window being routed
    bool final_message_pending = false; // WM_NCDESTROY seen inside an outer message
    bool restore_allowed = false;       // the procedure was ours when WM_NCDESTROY came
};
