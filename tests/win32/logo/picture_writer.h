// Picture files for the logo tests, made in the test: GIF streams whose
// images really decode (plain 9-bit LZW with a clear code before the table
// would grow), a 24-bit BMP and an enhanced metafile of a chosen HIMETRIC
// extent. Block framing comes from tests/native/logo/gif_writer.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "gif_writer.h"

// Signature, version, logical screen descriptor and a 256-entry global
// colour table that starts with `colours` (the rest black).
Bytes gif_screen(const char* version, uint16_t width, uint16_t height,
                 const std::vector<COLORREF>& colours);

// An image (no local colour table) of one colour index per pixel, row by
// row, LZW-coded with minimum code size 8.
Bytes gif_pixels(uint16_t left, uint16_t top, uint16_t width, uint16_t height,
                 const std::vector<uint8_t>& indices);

// An image filled with one colour index.
Bytes gif_filled(uint16_t left, uint16_t top, uint16_t width, uint16_t height, uint8_t index);

// A graphic control extension with `delay` and disposal method `disposal`.
Bytes gif_control(uint16_t delay, int disposal);

// A bottom-up 24-bit BMP file of one colour.
Bytes bmp_file(int32_t width, int32_t height, COLORREF colour);

// An enhanced metafile whose frame is (0, 0, width, height) in HIMETRIC,
// with one filled rectangle drawn over it.
Bytes emf_file(int32_t himetric_width, int32_t himetric_height, COLORREF colour);
