#include "picture_writer.h"

namespace {

constexpr int kMinimumCodeSize = 8;           // the byte gif_image writes
constexpr uint32_t kClearCode = 1u << kMinimumCodeSize;
constexpr uint32_t kEndCode = kClearCode + 1;
constexpr int kCodeWidth = kMinimumCodeSize + 1;
// A decoder adds a table entry for every code after the first that follows
// a clear code, and widens its codes when the table reaches 512. Clearing
// after this many literals keeps every code 9 bits wide.
constexpr int kLiteralsPerClear = 250;
constexpr size_t kPaletteEntries = 256;
constexpr int kPaletteSizeValue = 7;          // 3 * 2^(7+1) bytes

class BitWriter {
public:
    void put(uint32_t code) {
        buffer_ |= code << filled_;
        filled_ += kCodeWidth;
        while (filled_ >= 8) {
            bytes_.push_back(uint8_t(buffer_ & 0xFF));
            buffer_ >>= 8;
            filled_ -= 8;
        }
    }
    Bytes finish() {
        if (filled_ > 0) bytes_.push_back(uint8_t(buffer_ & 0xFF));
        return bytes_;
    }

private:
    Bytes bytes_;
    uint32_t buffer_ = 0;
    int filled_ = 0;
};

Bytes sub_blocks(const Bytes& data) {
    Bytes out;
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t size = data.size() - at < 255 ? data.size() - at : 255;
        out.push_back(uint8_t(size));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + size));
    }
    out.push_back(0x00);
    return out;
}

void append_u16(Bytes* out, uint32_t value) {
    out->push_back(uint8_t(value & 0xFF));
    out->push_back(uint8_t((value >> 8) & 0xFF));
}

void append_u32(Bytes* out, uint32_t value) {
    append_u16(out, value & 0xFFFF);
    append_u16(out, value >> 16);
}

}  // namespace

Bytes gif_screen(const char* version, uint16_t width, uint16_t height,
                 const std::vector<COLORREF>& colours) {
    Bytes out = {'G', 'I', 'F', uint8_t(version[0]), uint8_t(version[1]), uint8_t(version[2])};
    append_u16(&out, width);
    append_u16(&out, height);
    out.push_back(uint8_t(0x80 | 0x70 | kPaletteSizeValue));
    out.push_back(0x00);  // background colour index, never used
    out.push_back(0x00);
    for (size_t i = 0; i < kPaletteEntries; ++i) {
        const COLORREF colour = i < colours.size() ? colours[i] : RGB(0, 0, 0);
        out.push_back(GetRValue(colour));
        out.push_back(GetGValue(colour));
        out.push_back(GetBValue(colour));
    }
    return out;
}

Bytes gif_pixels(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                 const std::vector<uint8_t>& indices) {
    BitWriter bits;
    int since_clear = 0;
    bits.put(kClearCode);
    for (uint8_t index : indices) {
        if (since_clear == kLiteralsPerClear) {
            bits.put(kClearCode);
            since_clear = 0;
        }
        bits.put(index);
        ++since_clear;
    }
    bits.put(kEndCode);
    return gif_image(left, top, width, height, kNoColourTable, sub_blocks(bits.finish()));
}

Bytes gif_filled(uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t index) {
    const std::vector<uint8_t> indices(size_t(width) * height, index);
    return gif_pixels(left, top, width, height, indices);
}

Bytes gif_control(uint16_t delay, int disposal) {
    return gif_graphic_control(delay, gif_disposal_bits(disposal));
}

Bytes bmp_file(int32_t width, int32_t height, COLORREF colour) {
    const uint32_t row = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t pixels = row * uint32_t(height);
    const uint32_t offset = 14 + 40;
    Bytes out = {'B', 'M'};
    append_u32(&out, offset + pixels);
    append_u32(&out, 0);
    append_u32(&out, offset);
    append_u32(&out, 40);               // BITMAPINFOHEADER
    append_u32(&out, uint32_t(width));
    append_u32(&out, uint32_t(height));
    append_u16(&out, 1);                // planes
    append_u16(&out, 24);               // bits per pixel
    append_u32(&out, 0);                // BI_RGB
    append_u32(&out, pixels);
    append_u32(&out, 3780);             // 96 pixels per inch, in pixels per metre
    append_u32(&out, 3780);
    append_u32(&out, 0);
    append_u32(&out, 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            out.push_back(GetBValue(colour));
            out.push_back(GetGValue(colour));
            out.push_back(GetRValue(colour));
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < row; ++pad) out.push_back(0);
    }
    return out;
}

Bytes emf_file(int32_t himetric_width, int32_t himetric_height, COLORREF colour) {
    const RECT frame = {0, 0, himetric_width, himetric_height};
    HDC recorder = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    if (!recorder) return {};
    HBRUSH brush = CreateSolidBrush(colour);
    const RECT area = {0, 0, 100, 100};
    FillRect(recorder, &area, brush);
    DeleteObject(brush);
    HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    if (!metafile) return {};
    Bytes out(GetEnhMetaFileBits(metafile, 0, nullptr));
    GetEnhMetaFileBits(metafile, UINT(out.size()), out.data());
    DeleteEnhMetaFile(metafile);
    return out;
}
