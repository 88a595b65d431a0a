#include "gif_writer.h"

#include <cstring>

namespace {

// Running pattern of data bytes; every value turns up.
uint8_t next_data_byte() {
    static uint8_t value = 0;
    value = uint8_t(value * 5 + 0x3B);
    return value;
}

void append_u16(Bytes* out, uint16_t value) {
    out->push_back(uint8_t(value & 0xFF));
    out->push_back(uint8_t(value >> 8));
}

void append_data(Bytes* out, size_t count) {
    for (size_t i = 0; i < count; ++i) out->push_back(next_data_byte());
}

// Packed-field bits and data for a colour table of size value N.
uint8_t colour_table_bits(int table_size_value) {
    if (table_size_value == kNoColourTable) return 0;
    return uint8_t(0x80 | table_size_value);
}

void append_colour_table(Bytes* out, int table_size_value) {
    if (table_size_value == kNoColourTable) return;
    append_data(out, size_t(3) << (table_size_value + 1));
}

}  // namespace

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes gif_chain(const std::vector<int>& sub_block_sizes) {
    Bytes out;
    for (int size : sub_block_sizes) {
        out.push_back(uint8_t(size));
        append_data(&out, size_t(size));
    }
    out.push_back(0x00);
    return out;
}

Bytes gif_header(const char* version, uint16_t width, uint16_t height, int table_size_value) {
    Bytes out = {'G', 'I', 'F'};
    out.insert(out.end(), version, version + std::strlen(version));
    append_u16(&out, width);
    append_u16(&out, height);
    // Colour resolution bits set, as encoders write them.
    out.push_back(uint8_t(colour_table_bits(table_size_value) | 0x70));
    out.push_back(0x05);  // background colour index
    out.push_back(0x00);  // pixel aspect ratio
    append_colour_table(&out, table_size_value);
    return out;
}

uint8_t gif_disposal_bits(int disposal) {
    return uint8_t(disposal << 2);
}

Bytes gif_graphic_control(uint16_t delay, uint8_t packed) {
    Bytes out = {0x21, 0xF9, 0x04, packed};
    append_u16(&out, delay);
    out.push_back(0x3B);  // transparent colour index
    out.push_back(0x00);
    return out;
}

Bytes gif_image(uint16_t left, uint16_t top, uint16_t width, uint16_t height, int table_size_value,
                const Bytes& chain) {
    Bytes out = {0x2C};
    append_u16(&out, left);
    append_u16(&out, top);
    append_u16(&out, width);
    append_u16(&out, height);
    out.push_back(colour_table_bits(table_size_value));
    append_colour_table(&out, table_size_value);
    out.push_back(0x08);  // LZW minimum code size
    return concat({out, chain});
}

Bytes gif_application(const char* identifier_and_code, const Bytes& chain) {
    Bytes out = {0x21, 0xFF, 0x0B};
    out.insert(out.end(), identifier_and_code, identifier_and_code + 11);
    return concat({out, chain});
}

Bytes gif_netscape_loop(uint16_t loops) {
    Bytes chain = {0x03, 0x01};
    append_u16(&chain, loops);
    chain.push_back(0x00);
    return gif_application("NETSCAPE2.0", chain);
}

Bytes gif_comment(const Bytes& chain) {
    return concat({{0x21, 0xFE}, chain});
}

Bytes gif_plain_text(const Bytes& chain) {
    Bytes out = {0x21, 0x01, 0x0C};
    append_data(&out, 12);
    return concat({out, chain});
}

Bytes gif_trailer() {
    return {0x3B};
}
