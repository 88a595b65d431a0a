#include "logo_fixture.h"

#include <cstring>

namespace {

constexpr char kHostClass[] = "LogoTestHost";
constexpr DWORD kHangGuardMs = 20000;  // only a hang ever waits this long

ATOM register_host_class() {
    WNDCLASSA window_class = {};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = kHostClass;
    window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    return RegisterClassA(&window_class);
}

}  // namespace

LogoArea::LogoArea() {
    static const ATOM host_class = register_host_class();
    (void)host_class;
    host = CreateWindowExA(0, kHostClass, "Logo test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                           150, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    control = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 10, 10, 30,
                              20, host, reinterpret_cast<HMENU>(INT_PTR(507)),
                              GetModuleHandleA(nullptr), nullptr);
}

LogoArea::~LogoArea() {
    if (host) DestroyWindow(host);
}

SIZE LogoArea::control_size() const {
    RECT rect = {};
    GetWindowRect(control, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

GlobalBytes::GlobalBytes(const Bytes& bytes) : size(DWORD(bytes.size())) {
    block = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (void* target = GlobalLock(block)) {
        if (!bytes.empty()) std::memcpy(target, bytes.data(), bytes.size());
        GlobalUnlock(block);
    }
}

GlobalBytes::~GlobalBytes() {
    GlobalFree(block);
}

bool load_bytes(LogoControl& logo, const Bytes& bytes) {
    GlobalBytes memory(bytes);
    return logo.load_memory(memory.block, memory.size);
}

COLORREF surface_pixel(const LogoControl& logo, int x, int y) {
    return GetPixel(logo.surface_dc, x, y);
}

SIZE bitmap_size(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

HANDLE duplicate_thread(HANDLE thread) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return copy;
}

bool has_ended(HANDLE thread) {
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

WatchedLogo::WatchedLogo() {
    InitializeCriticalSection(&shown_lock);
    frame_shown = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

WatchedLogo::~WatchedLogo() {
    // The thread calls back into this object: it must end before this part
    // of the object goes.
    stop();
    CloseHandle(frame_shown);
    DeleteCriticalSection(&shown_lock);
}

int WatchedLogo::count_of(uint32_t index) {
    EnterCriticalSection(&shown_lock);
    int count = 0;
    for (const ShownFrame& frame : shown) count += frame.index == index ? 1 : 0;
    LeaveCriticalSection(&shown_lock);
    return count;
}

bool WatchedLogo::wait_for_frame(uint32_t index, int times) {
    const DWORD start = GetTickCount();
    while (count_of(index) < times) {
        if (GetTickCount() - start > kHangGuardMs) return false;
        WaitForSingleObject(frame_shown, 100);
    }
    return true;
}

void WatchedLogo::on_frame_shown(uint32_t index) {
    EnterCriticalSection(&shown_lock);
    shown.push_back({index, GetPixel(surface_dc, probe.x, probe.y)});
    LeaveCriticalSection(&shown_lock);
    SetEvent(frame_shown);

    if (hold_at == int(index)) {
        hold_at = -1;
        // Until `stop` signals: the thread stays on this frame, as it would
        // during a long delay.
        WaitForSingleObject(stop_event, INFINITE);
    }
    if (const DWORD slow = slow_once_ms.exchange(0)) {
        // Deaf to the stop signal, like a thread stuck in a slow draw.
        Sleep(slow);
        slow_frame_done = true;
    }
}

void WatchedLogo::on_final_message(HWND former_window) {
    ++final_messages;
    final_window = former_window;
    procedure_at_final = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(former_window, GWLP_WNDPROC));
}
