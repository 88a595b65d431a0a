// The animated logo: takes over an existing static control, loads a picture
// from a module resource, sizes the control to it and paints it from an
// off-screen surface. An animated GIF plays on a thread of its own, frame by
// frame with the frames' delays, until it is stopped.
//
// Use: attach(control); if (load(MAKEINTRESOURCEA(id), "GIF")) play(); ...
// unload(); detach(FALSE). Two threads touch the control: the window's,
// which runs every operation, and the animation thread, which runs
// `animate` with `draw_frame` and `dispose_frame`. Frames, surfaces and
// `current_frame` change on the window's thread only after `stop` has seen
// the animation thread end. Without an attached window nothing loads or
// plays: there would be nothing to size, and a null window means the screen.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "logo/gif_parser.h"
#include "logo/window_subclass_win32.h"

// One frame of an animation; the record owns one reference to `picture`.
struct GifFrame {
    IPicture* picture;
    int32_t width;
    int32_t height;
    int32_t left;
    int32_t top;
    uint32_t delay;     // hundredths of a second; kGifNoDelay without a graphic control extension
    int32_t disposal;   // 0 to 7
};

// `background` while there is no surface.
constexpr COLORREF kLogoWhite = RGB(255, 255, 255);

// The module whose resources `LogoControl::load` reads. Null, the default,
// is the program's own file.
void set_logo_module(HMODULE module);

// `attach`, `detach`, `window` and `previous_procedure` come with the
// subclassing base, the parse state and the frame splitter with GifParser.
class LogoControl : public WindowSubclass, public GifParser {
public:
    LogoControl();
    ~LogoControl() override;

    bool process_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result,
                         DWORD table_id) override;

    // The picture from resource (name, type) of the logo module. True when
    // the control is ready to play. Needs an attached window.
    bool load(LPCSTR name, LPCSTR type);
    // The picture from a movable global block of `size` bytes, which stays
    // the caller's. Begins with `unload`. Needs an attached window.
    bool load_memory(HGLOBAL block, DWORD size);
    // Starts showing the loaded picture: true only when a still picture was
    // drawn; false when the animation thread was started, or nothing shows.
    bool play();
    // Stops the animation and frees everything loaded.
    void unload();
    // Ends the animation thread, which keeps `current_frame` for a restart.
    void stop();
    bool is_animated() const;

    // Drawing (logo_pictures_win32.cpp).
    bool prepare_surface(int32_t width, int32_t height);
    bool draw_still();
    void draw_frame(uint32_t index);
    void dispose_frame(uint32_t index);
    void free_pictures();
    LRESULT on_paint();

    // Animation thread (logo_animation_win32.cpp).
    LRESULT on_destroy();
    static unsigned __stdcall animation_thread(void* control);
    void animate();

    // Frame blocks for the picture decoder: fixed global memory.
    uint8_t* allocate_frame_block(uint32_t size) override;
    void free_frame_block(uint8_t* block) override;

    COLORREF background;
    uint32_t current_frame = 0;
    std::atomic<bool> stop_requested{false};
    bool ready = false;
    HDC surface_dc = nullptr;
    HDC saved_dc = nullptr;
    HBITMAP saved_bitmap = nullptr;
    HGDIOBJ saved_old_bitmap = nullptr;
    HBITMAP surface_bitmap = nullptr;
    HGDIOBJ surface_old_bitmap = nullptr;
    HANDLE thread = nullptr;
    HANDLE stop_event = nullptr;
    IPicture* still_picture = nullptr;
    std::vector<GifFrame> frames;

protected:
    // Called on the animation thread after each frame is drawn; a seam for
    // tests, which watch or slow the animation through it. A class that
    // overrides it calls `stop` in its own destructor, before its part of
    // the object is gone.
    virtual void on_frame_shown(uint32_t index);

private:
    bool load_still_picture(HGLOBAL block, DWORD size);
    void load_frames();
    bool append_frame(const GifFrame& frame);
    void fill_surface(const RECT& area);
    void invalidate();
    void free_saved_area();

    // Serialises the animation thread's drawing with the paint's copy, so a
    // paint never shows a half-drawn frame.
    CRITICAL_SECTION surface_lock;
};
