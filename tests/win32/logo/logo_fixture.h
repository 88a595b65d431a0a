// What the logo tests share: a window with a static control like the
// destination dialog's logo area, picture bytes in movable global memory,
// and a logo control whose animation thread can be watched and held.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "gif_writer.h"
#include "logo/logo_control_win32.h"

// A visible top-level window with a static child control (SS_BLACKFRAME),
// 30 x 20 pixels at (10, 10) of its client area.
class LogoArea {
public:
    LogoArea();
    ~LogoArea();
    LogoArea(const LogoArea&) = delete;
    LogoArea& operator=(const LogoArea&) = delete;

    SIZE control_size() const;

    HWND host = nullptr;
    HWND control = nullptr;
};

// `bytes` in a movable global block, as `LogoControl::load` hands them on.
class GlobalBytes {
public:
    explicit GlobalBytes(const Bytes& bytes);
    ~GlobalBytes();
    GlobalBytes(const GlobalBytes&) = delete;
    GlobalBytes& operator=(const GlobalBytes&) = delete;

    HGLOBAL block = nullptr;
    DWORD size = 0;
};

// Attaches to `area`'s control and loads `bytes` through `load_memory`.
bool load_bytes(LogoControl& logo, const Bytes& bytes);

COLORREF surface_pixel(const LogoControl& logo, int x, int y);
SIZE bitmap_size(HBITMAP bitmap);

// A handle to the same thread, to see it end after the control closed its own.
HANDLE duplicate_thread(HANDLE thread);
bool has_ended(HANDLE thread);

// What the animation thread showed, frame by frame.
struct ShownFrame {
    uint32_t index;
    COLORREF probe;  // the surface at `probe` right after the frame was drawn
};

// A logo control whose animation thread reports every frame it shows. It can
// be told to signal when a frame comes, to hold the thread at a frame until
// `stop` wakes it, or to make the thread slow once.
class WatchedLogo : public LogoControl {
public:
    WatchedLogo();
    ~WatchedLogo() override;

    // Waits (with a guard against a hang) until frame `index` has been shown
    // `times` times in all.
    bool wait_for_frame(uint32_t index, int times = 1);

    void on_frame_shown(uint32_t index) override;
    void on_final_message(HWND former_window) override;

    POINT probe = {0, 0};
    std::atomic<int> hold_at{-1};         // frame to hold at, once
    std::atomic<DWORD> slow_once_ms{0};   // the next frame shown takes this long
    std::atomic<bool> slow_frame_done{false};

    // Written by the animation thread; read once it has ended.
    std::vector<ShownFrame> shown;

    int final_messages = 0;
    HWND final_window = nullptr;
    WNDPROC procedure_at_final = nullptr;

private:
    CRITICAL_SECTION shown_lock;
    HANDLE frame_shown = nullptr;
    int count_of(uint32_t index);
};

// A test with a logo control of type `Logo` attached to a fresh logo area,
// unloaded and detached afterwards.
template <typename Logo>
class AttachedLogo : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, area.control);
        ASSERT_TRUE(logo.attach(area.control));
    }
    void TearDown() override {
        logo.unload();
        logo.detach(FALSE);
    }

    LogoArea area;
    Logo logo;
};
