// The logo's animation thread: starting it, the frame loop, and the stop
// handshake. The manual-reset `stop_event` is both the frame timer and the
// wake-up: once signalled it stays so until `stop` has seen the thread end,
// so any wait the thread begins in that time returns at once.
#include "logo/logo_control_win32.h"

#include <process.h>

#include "logo/logo_logic.h"

namespace {

// How long `stop` waits before it looks again; it never stops waiting while
// the thread may still use the frames and surfaces.
constexpr DWORD kStopWaitMs = 5000;

}  // namespace

bool LogoControl::play() {
    if (!window || !ready) return false;
    if (!is_animated()) return draw_still();
    // One thread at a time; and a thread without its event could never be
    // stopped.
    if (thread || !stop_event) return false;
    thread = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, animation_thread, this, 0, nullptr));
    return false;
}

void LogoControl::stop() {
    stop_requested = true;
    if (stop_event) SetEvent(stop_event);
    if (thread) {
        // Freeing what the thread draws with while it runs would crash it.
        while (WaitForSingleObject(thread, kStopWaitMs) == WAIT_TIMEOUT) {
        }
        CloseHandle(thread);
        thread = nullptr;
    }
    if (stop_event) ResetEvent(stop_event);
    stop_requested = false;
}

void LogoControl::unload() {
    stop();
    free_pictures();
    stream = nullptr;
    thread = nullptr;
    ready = false;
    stop_requested = false;
    is_gif = false;
    colour_table_size = 0;
    cursor = 0;
    current_frame = 0;
    stream_size = 0;
    background = kLogoWhite;
}

LRESULT LogoControl::on_destroy() {
    stop();
    return 0;
}

unsigned __stdcall LogoControl::animation_thread(void* control) {
    static_cast<LogoControl*>(control)->animate();
    return 0;
}

void LogoControl::animate() {
    // Completes the disposal of the frame left on the surface by the last
    // stop; on a fresh load there is nothing to undo.
    dispose_frame(current_frame);
    while (!stop_requested) {
        draw_frame(current_frame);
        on_frame_shown(current_frame);
        if (stop_requested) break;
        WaitForSingleObject(stop_event, frame_wait_ms(frames[current_frame].delay));
        if (stop_requested) break;
        dispose_frame(current_frame);
        current_frame = next_frame_index(current_frame, frames.size());
    }
}

void LogoControl::on_frame_shown(uint32_t) {}
