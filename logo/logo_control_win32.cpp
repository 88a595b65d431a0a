// The logo control's life and its way in: construction, the message table,
// loading from a resource or a memory block, and the decoding of the
// picture or of every frame.
#include "logo/logo_control_win32.h"

#include <olectl.h>

#include <cstring>
#include <new>

#include "logo/logo_logic.h"

namespace {

constexpr int kHimetricPerInch = 2540;

HMODULE logo_module = nullptr;

// A stream object over `block`; with `free_block` set, releasing the stream
// frees the block.
IStream* open_stream(HGLOBAL block, BOOL free_block) {
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, free_block, &stream) != S_OK) return nullptr;
    return stream;
}

// The picture decoded from `stream`, which is released either way.
IPicture* decode_picture(IStream* stream, DWORD size) {
    IPicture* picture = nullptr;
    const HRESULT result = OleLoadPicture(stream, LONG(size), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&picture));
    stream->Release();
    if (result != S_OK) {
        if (picture) picture->Release();
        return nullptr;
    }
    return picture;
}

}  // namespace

void set_logo_module(HMODULE module) {
    logo_module = module;
}

LogoControl::LogoControl() : background(kLogoWhite) {
    InitializeCriticalSection(&surface_lock);
    stop_event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

LogoControl::~LogoControl() {
    unload();
    if (stop_event) CloseHandle(stop_event);
    DeleteCriticalSection(&surface_lock);
}

bool LogoControl::process_message(HWND, UINT message, WPARAM, LPARAM, LRESULT* result,
                                  DWORD table_id) {
    if (table_id != 0) return false;
    switch (message) {
    case WM_DESTROY:
        *result = on_destroy();
        return true;
    case WM_PAINT:
        *result = on_paint();
        return true;
    default:
        return false;
    }
}

bool LogoControl::is_animated() const {
    return is_animation(is_gif, frames.size());
}

uint8_t* LogoControl::allocate_frame_block(uint32_t size) {
    // A fixed block's handle is its address, so the decoder's stream can
    // take it as a global memory handle.
    return static_cast<uint8_t*>(GlobalAlloc(GMEM_FIXED, size));
}

void LogoControl::free_frame_block(uint8_t* block) {
    GlobalFree(block);
}

bool LogoControl::load(LPCSTR name, LPCSTR type) {
    // Without a window there is nothing to size or paint into, and a null
    // window would make the whole screen the target.
    if (!window) return false;
    HRSRC found = FindResourceA(logo_module, name, type);
    if (!found) return false;
    HGLOBAL resource = LoadResource(logo_module, found);
    if (!resource) return false;
    const DWORD size = SizeofResource(logo_module, found);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD, size);
    if (!block) {
        FreeResource(resource);
        return false;
    }
    void* target = GlobalLock(block);
    const void* source = LockResource(resource);
    if (!target || !source) {
        if (target) GlobalUnlock(block);
        GlobalFree(block);
        FreeResource(resource);
        return false;
    }
    std::memcpy(target, source, size);
    FreeResource(resource);
    GlobalUnlock(block);

    const bool loaded = load_memory(block, size);
    GlobalFree(block);
    return loaded;
}

bool LogoControl::load_memory(HGLOBAL block, DWORD size) {
    if (!window) return false;
    unload();
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block));
    if (!bytes) return false;
    stream = bytes;
    stream_size = size;

    if (!is_gif_stream()) {
        GlobalUnlock(block);
        stream = nullptr;
        if (!load_still_picture(block, size)) return false;
        // The picture's own extent, in pixels of the control's screen.
        OLE_XSIZE_HIMETRIC himetric_width = 0;
        OLE_YSIZE_HIMETRIC himetric_height = 0;
        still_picture->get_Width(&himetric_width);
        still_picture->get_Height(&himetric_height);
        HDC screen = GetDC(window);
        if (!screen) return false;
        picture_width =
            MulDiv(himetric_width, GetDeviceCaps(screen, LOGPIXELSX), kHimetricPerInch);
        picture_height =
            MulDiv(himetric_height, GetDeviceCaps(screen, LOGPIXELSY), kHimetricPerInch);
        ReleaseDC(window, screen);
        return prepare_surface(picture_width, picture_height);
    }

    read_header();
    const uint32_t frame_count = count_frames();
    if (frame_count == 0) {
        GlobalUnlock(block);
        stream = nullptr;
        return false;
    }
    if (frame_count == 1) {
        // Decoded whole, with the logical screen size as its size.
        GlobalUnlock(block);
        stream = nullptr;
        if (!load_still_picture(block, size)) return false;
        return prepare_surface(picture_width, picture_height);
    }

    load_frames();
    GlobalUnlock(block);
    stream = nullptr;
    if (frames.empty()) return false;
    return prepare_surface(picture_width, picture_height);
}

bool LogoControl::load_still_picture(HGLOBAL block, DWORD size) {
    IStream* source = open_stream(block, FALSE);
    if (!source) return false;
    still_picture = decode_picture(source, size);
    return still_picture != nullptr;
}

void LogoControl::load_frames() {
    rewind();
    for (;;) {
        uint32_t block_size = 0;
        uint32_t delay = kGifNoDelay;
        GifSize size = {0, 0};
        GifOffset offset = {0, 0};
        int32_t disposal = 0;
        uint8_t* block = take_frame(&block_size, &delay, &size, &offset, &disposal);
        if (!block) return;

        IStream* source = open_stream(static_cast<HGLOBAL>(block), TRUE);
        if (!source) {
            free_frame_block(block);
            continue;
        }
        // A frame that does not decode is left out; the others play.
        IPicture* picture = decode_picture(source, block_size);
        if (!picture) continue;
        const GifFrame frame = {picture, size.width, size.height, offset.left, offset.top,
                                delay, disposal};
        if (!append_frame(frame)) {
            // No room for more: the frames taken so far make the animation.
            picture->Release();
            return;
        }
    }
}

bool LogoControl::append_frame(const GifFrame& frame) {
    try {
        frames.push_back(frame);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
