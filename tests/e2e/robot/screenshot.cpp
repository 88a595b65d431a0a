#include "tests/e2e/robot/screenshot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/e2e/robot/windows_found.h"

namespace {

constexpr int kAttempts = 20;
constexpr int kIconAttempts = 10;
constexpr DWORD kSettleMs = 200;
// Mean difference per colour channel (0-255) below which two icon
// pictures count as the same.
constexpr double kSameIcon = 2.0;

// Top-down rows of blue, green, red bytes, without padding.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bgr;
};

int row_stride(int width) { return (width * 3 + 3) & ~3; }

// Copies `area` of `source` into `out` through a 24-bit DIB section.
bool copy_pixels(HDC source, const RECT& area, Pixels* out) {
    out->width = area.right - area.left;
    out->height = area.bottom - area.top;
    if (out->width <= 0 || out->height <= 0) return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out->width;
    info.bmiHeader.biHeight = -out->height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, out->width, out->height, source, area.left, area.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        const auto* rows = static_cast<const uint8_t*>(bits);
        out->bgr.resize(size_t(out->width) * out->height * 3);
        for (int y = 0; y < out->height; ++y)
            std::copy_n(rows + size_t(y) * row_stride(out->width), size_t(out->width) * 3,
                        out->bgr.begin() + ptrdiff_t(size_t(y) * out->width * 3));
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return copied;
}

bool grab_screen(const RECT& area, Pixels* out) {
    HDC screen = GetDC(nullptr);
    const bool grabbed = copy_pixels(screen, area, out);
    ReleaseDC(nullptr, screen);
    return grabbed;
}

bool write_bmp(const std::string& path, const Pixels& pixels) {
    const int stride = row_stride(pixels.width);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = pixels.height;  // bottom-up, as BMP readers expect
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = DWORD(stride) * pixels.height;
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;

    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(&file, sizeof file, 1, out) == 1 && std::fwrite(&header, sizeof header, 1, out) == 1;
    const std::vector<uint8_t> padding(size_t(stride - pixels.width * 3), 0);
    for (int y = pixels.height - 1; written && y >= 0; --y) {
        written = std::fwrite(&pixels.bgr[size_t(y) * pixels.width * 3], 1, size_t(pixels.width) * 3, out) ==
                      size_t(pixels.width) * 3 &&
                  std::fwrite(padding.data(), 1, padding.size(), out) == padding.size();
    }
    return std::fclose(out) == 0 && written;
}

bool overlaps(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != 0;
}

// A visible window of another process that lies above `window` where it
// overlaps it, or null. The target's own windows (a message box over its
// dialog) are part of what the user sees.
HWND covering_window(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    for (HWND above = GetWindow(window, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
        DWORD above_owner = 0;
        GetWindowThreadProcessId(above, &above_owner);
        RECT other;
        if (above_owner != owner && IsWindowVisible(above) && GetWindowRect(above, &other) && overlaps(area, other))
            return above;
    }
    return nullptr;
}

// Robots that run side by side share the screen: while one raises its
// window and reads the screen, the others wait, so that they do not raise
// theirs over it.
class ScreenTurn {
public:
    ScreenTurn() : mutex_(CreateMutexA(nullptr, FALSE, "songwright-e2e-robot-screen")) {
        if (mutex_) WaitForSingleObject(mutex_, INFINITE);
    }
    ~ScreenTurn() {
        if (!mutex_) return;
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }
    ScreenTurn(const ScreenTurn&) = delete;
    ScreenTurn& operator=(const ScreenTurn&) = delete;

private:
    HANDLE mutex_;
};

// Brings `window` up, waits until it is painted, and copies `area` of the
// screen while no window of another program covers `window`.
bool grab_in_view(HWND window, const RECT& area, Pixels* out, std::string* error) {
    ScreenTurn turn;
    HWND cover = nullptr;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        // Returns once the target's thread has reached its message loop;
        // the pending paint follows.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
        Sleep(kSettleMs);
        cover = covering_window(window);
        if (cover) continue;
        if (!grab_screen(area, out)) {
            *error = "the screen cannot be read";
            return false;
        }
        // A window that came up meanwhile may be in the picture.
        cover = covering_window(window);
        if (!cover) return true;
    }
    *error = "the window stays covered by another program's window, class \"" + class_of(cover) +
             "\" caption \"" + caption_of(cover) + "\"";
    return false;
}

// The icon drawn over `background`, the colour around it in the box.
Pixels draw_icon(HICON icon, int size, const uint8_t* background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH brush = CreateSolidBrush(RGB(background[2], background[1], background[0]));
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    Pixels drawn;
    copy_pixels(memory, all, &drawn);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return drawn;
}

double difference(const Pixels& a, const Pixels& b) {
    if (a.bgr.size() != b.bgr.size() || a.bgr.empty()) return 255.0;
    double sum = 0;
    for (size_t i = 0; i < a.bgr.size(); ++i) sum += std::abs(int(a.bgr[i]) - int(b.bgr[i]));
    return sum / double(a.bgr.size());
}

IconMatch closest_icon(const Pixels& shown, int size) {
    const struct {
        LPCSTR id;
        const char* name;
    } kIcons[] = {{IDI_HAND, "error"}, {IDI_QUESTION, "question"}, {IDI_EXCLAMATION, "warning"},
                  {IDI_ASTERISK, "information"}};
    IconMatch match{"", 256.0, "", 256.0};
    for (const auto& icon : kIcons) {
        // The corner of a standard icon is transparent: it shows the box.
        const double d = difference(shown, draw_icon(LoadIconA(nullptr, icon.id), size, shown.bgr.data()));
        if (d < match.difference) {
            match.next = match.name;
            match.next_difference = match.difference;
            match.name = icon.name;
            match.difference = d;
        } else if (d < match.next_difference) {
            match.next = icon.name;
            match.next_difference = d;
        }
    }
    return match;
}

}  // namespace

bool capture_window(HWND window, const std::string& path, std::string* error) {
    RECT area;
    Pixels pixels;
    if (!GetWindowRect(window, &area) || !grab_in_view(window, area, &pixels, error)) return false;
    if (!write_bmp(path, pixels)) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool message_box_icon(HWND box, IconMatch* match, std::string* error) {
    *match = IconMatch{"none", 0, "", 0};
    HWND control = message_icon_control(box);
    if (!control) return true;
    const int size = GetSystemMetrics(SM_CXICON);
    RECT area;
    GetWindowRect(control, &area);
    area.right = area.left + size;
    area.bottom = area.top + size;
    // A box that has just come up may not show its icon yet: look again
    // until one matches.
    for (int attempt = 0; attempt < kIconAttempts; ++attempt) {
        Pixels shown;
        if (!grab_in_view(box, area, &shown, error)) return false;
        *match = closest_icon(shown, size);
        if (match->difference <= kSameIcon) return true;
    }
    char text[128];
    std::snprintf(text, sizeof text, "the icon matches no standard icon (closest: %s, difference %.1f)",
                  match->name.c_str(), match->difference);
    *error = text;
    return false;
}

bool pixels_changed(HWND control, DWORD milliseconds, long* changed, std::string* error) {
    RECT area;
    HWND dialog = GetAncestor(control, GA_ROOT);
    Pixels first, second;
    if (!GetWindowRect(control, &area) || !grab_in_view(dialog, area, &first, error)) return false;
    Sleep(milliseconds);
    if (!grab_in_view(dialog, area, &second, error)) return false;
    *changed = 0;
    for (size_t i = 0; i + 2 < first.bgr.size() && i + 2 < second.bgr.size(); i += 3)
        if (first.bgr[i] != second.bgr[i] || first.bgr[i + 1] != second.bgr[i + 1] ||
            first.bgr[i + 2] != second.bgr[i + 2])
            ++*changed;
    return true;
}
