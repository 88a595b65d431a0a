// A small GIF writer for the tests: each function gives the bytes of one
// block, to be concatenated into streams. Data bytes follow a pattern that
// takes every byte value, introducers and zeros among them, so that a parser
// that looks into data instead of skipping it by its sizes goes wrong.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Colour table size value N for "no colour table".
constexpr int kNoColourTable = -1;

Bytes concat(std::initializer_list<Bytes> parts);

// Data sub-blocks of the given sizes (1 to 255), then the terminator.
Bytes gif_chain(const std::vector<int>& sub_block_sizes);

// Signature, version ("87a", "89a" or anything else), logical screen
// descriptor and, unless N is kNoColourTable, a global colour table of
// 3 * 2^(N+1) bytes.
Bytes gif_header(const char* version, uint16_t width, uint16_t height, int table_size_value);

// Graphic control extension; `packed` holds the disposal method in bits 2-4.
Bytes gif_graphic_control(uint16_t delay, uint8_t packed);
uint8_t gif_disposal_bits(int disposal);

// Image descriptor, local colour table unless N is kNoColourTable, LZW
// minimum code size and the image data chain.
Bytes gif_image(uint16_t left, uint16_t top, uint16_t width, uint16_t height, int table_size_value,
                const Bytes& chain);

// Application extension with an 8-byte identifier and 3-byte code.
Bytes gif_application(const char* identifier_and_code, const Bytes& chain);
// The NETSCAPE2.0 looping extension: 19 bytes.
Bytes gif_netscape_loop(uint16_t loops);
Bytes gif_comment(const Bytes& chain);
Bytes gif_plain_text(const Bytes& chain);
Bytes gif_trailer();
