// The logo's drawing: the off-screen surface, still pictures and animation
// frames drawn into it, frames undone by their disposal method, and the
// paint that copies the surface to the window.
#include "logo/logo_control_win32.h"

namespace {

// Disposal methods the drawing acts on; the others leave the frame in place.
constexpr int32_t kDisposeToBackground = 2;
constexpr int32_t kDisposeToPrevious = 3;

// The whole picture, scaled into (left, top, width, height) of `dc`. Picture
// extents are HIMETRIC, with the source's y axis running upwards.
HRESULT render_whole(IPicture* picture, HDC dc, int32_t left, int32_t top, int32_t width,
                     int32_t height) {
    OLE_XSIZE_HIMETRIC himetric_width = 0;
    OLE_YSIZE_HIMETRIC himetric_height = 0;
    picture->get_Width(&himetric_width);
    picture->get_Height(&himetric_height);
    return picture->Render(dc, left, top, width, height, 0, himetric_height, himetric_width,
                           -himetric_height, nullptr);
}

class Locked {
public:
    explicit Locked(CRITICAL_SECTION* section) : section_(section) {
        EnterCriticalSection(section_);
    }
    ~Locked() { LeaveCriticalSection(section_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION* section_;
};

}  // namespace

bool LogoControl::prepare_surface(int32_t width, int32_t height) {
    if (!window || width < 1 || height < 1) return false;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    HDC screen = GetDC(window);
    if (!screen) return false;
    surface_dc = CreateCompatibleDC(screen);
    if (!surface_dc) {
        ReleaseDC(window, screen);
        return false;
    }
    surface_bitmap = CreateCompatibleBitmap(screen, width, height);
    if (!surface_bitmap) {
        ReleaseDC(window, screen);
        DeleteDC(surface_dc);
        surface_dc = nullptr;
        return false;
    }
    surface_old_bitmap = SelectObject(surface_dc, surface_bitmap);
    // The dialog's face colour; the GIF's own background colour is not used.
    background = GetSysColor(COLOR_BTNFACE);
    // Cleared to the dialog's face colour. (The menu colour's brush would
    // leave a white box on systems where menus are white.)
    const RECT whole = {0, 0, width, height};
    FillRect(surface_dc, &whole, GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(window, screen);
    ready = true;
    return true;
}

bool LogoControl::draw_still() {
    if (!still_picture || !surface_dc) return false;
    fill_surface({0, 0, picture_width, picture_height});
    if (FAILED(render_whole(still_picture, surface_dc, 0, 0, picture_width, picture_height))) {
        return false;
    }
    invalidate();
    return true;
}

void LogoControl::draw_frame(uint32_t index) {
    if (index >= frames.size() || !surface_dc) return;
    const GifFrame& frame = frames[index];
    bool drawn = false;
    {
        Locked locked(&surface_lock);
        // Every cycle starts from a cleared surface.
        if (index == 0) fill_surface({0, 0, picture_width, picture_height});
        if (frame.disposal == kDisposeToPrevious) {
            // What lies under the frame, to be put back by its disposal.
            free_saved_area();
            saved_dc = CreateCompatibleDC(surface_dc);
            saved_bitmap = CreateCompatibleBitmap(surface_dc, frame.width, frame.height);
            if (saved_dc && saved_bitmap) {
                saved_old_bitmap = SelectObject(saved_dc, saved_bitmap);
                BitBlt(saved_dc, 0, 0, frame.width, frame.height, surface_dc, frame.left, frame.top,
                       SRCCOPY);
            } else {
                free_saved_area();
            }
        }
        drawn = SUCCEEDED(render_whole(frame.picture, surface_dc, frame.left, frame.top,
                                       frame.width, frame.height));
    }
    if (drawn) invalidate();
}

void LogoControl::dispose_frame(uint32_t index) {
    if (index >= frames.size() || !surface_dc) return;
    const GifFrame& frame = frames[index];
    Locked locked(&surface_lock);
    switch (frame.disposal) {
    case kDisposeToBackground:
        fill_surface({frame.left, frame.top, frame.left + frame.width, frame.top + frame.height});
        break;
    case kDisposeToPrevious:
        if (!saved_dc) break;
        BitBlt(surface_dc, frame.left, frame.top, frame.width, frame.height, saved_dc, 0, 0,
               SRCCOPY);
        free_saved_area();
        break;
    default:
        break;  // the frame stays; the next one is drawn over it
    }
}

void LogoControl::free_pictures() {
    if (still_picture) {
        still_picture->Release();
        still_picture = nullptr;
    }
    for (GifFrame& frame : frames) {
        if (frame.picture) frame.picture->Release();
    }
    std::vector<GifFrame>().swap(frames);
    if (surface_dc) {
        SelectObject(surface_dc, surface_old_bitmap);
        DeleteDC(surface_dc);
        surface_dc = nullptr;
    }
    if (surface_bitmap) {
        DeleteObject(surface_bitmap);
        surface_bitmap = nullptr;
    }
    surface_old_bitmap = nullptr;
    free_saved_area();
}

LRESULT LogoControl::on_paint() {
    if (!GetUpdateRect(window, nullptr, FALSE)) return 0;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (!dc) return LRESULT(E_FAIL);
    if (surface_dc) {
        Locked locked(&surface_lock);
        BitBlt(dc, 0, 0, picture_width, picture_height, surface_dc, 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
    return 0;
}

void LogoControl::fill_surface(const RECT& area) {
    // No brush, no fill: the drawing goes on without it.
    HBRUSH brush = CreateSolidBrush(background);
    if (!brush) return;
    FillRect(surface_dc, &area, brush);
    DeleteObject(brush);
}

void LogoControl::invalidate() {
    // Repaints happen on the window's thread; this only asks for one.
    if (HWND target = window) InvalidateRect(target, nullptr, FALSE);
}

void LogoControl::free_saved_area() {
    if (saved_dc) {
        if (saved_old_bitmap) SelectObject(saved_dc, saved_old_bitmap);
        DeleteDC(saved_dc);
    }
    if (saved_bitmap) DeleteObject(saved_bitmap);
    saved_dc = nullptr;
    saved_bitmap = nullptr;
    saved_old_bitmap = nullptr;
}
