#include "logo/gif_parser.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kSignatureSize = 6;
constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

constexpr uint8_t kLabelPlainText = 0x01;
constexpr uint8_t kLabelGraphicControl = 0xF9;
constexpr uint8_t kLabelComment = 0xFE;
constexpr uint8_t kLabelApplication = 0xFF;

// Header fields, from the stream's first byte.
constexpr uint32_t kScreenWidthAt = 6;
constexpr uint32_t kScreenHeightAt = 8;
constexpr uint32_t kScreenPackedAt = 10;

// Packed fields of the screen and image descriptors.
constexpr uint8_t kColourTableFlag = 0x80;
constexpr uint8_t kColourTableSizeBits = 0x07;

// Fixed bytes before each kind's sub-block chain, from its first byte.
constexpr uint32_t kApplicationFixed = 14;  // introducer, label, size byte, 11 bytes of identifier
constexpr uint32_t kCommentFixed = 2;
constexpr uint32_t kPlainTextFixed = 15;
constexpr uint32_t kImageFixed = 11;        // 10-byte image descriptor, LZW minimum code size
constexpr uint32_t kGraphicControlLength = 8;
constexpr uint32_t kTrailerLength = 1;

// Fields of the graphic control extension and the image descriptor.
constexpr uint32_t kGraphicControlPackedAt = 3;
constexpr uint32_t kGraphicControlDelayAt = 4;
constexpr uint32_t kImageLeftAt = 1;
constexpr uint32_t kImageTopAt = 3;
constexpr uint32_t kImageWidthAt = 5;
constexpr uint32_t kImageHeightAt = 7;
constexpr uint32_t kImagePackedAt = 9;

constexpr uint64_t kMaxLength = 0x7FFFFFFF;

// Bytes of a colour table: three per entry, 2^(N+1) entries.
uint32_t colour_table_bytes(uint8_t packed) {
    if (!(packed & kColourTableFlag)) return 0;
    return 3u << ((packed & kColourTableSizeBits) + 1);
}

}  // namespace

uint32_t GifParser::read_u16(uint32_t offset) const {
    return uint32_t(stream[offset]) | uint32_t(stream[offset + 1]) << 8;
}

bool GifParser::is_gif_stream() const {
    if (!stream || stream_size < kSignatureSize) return false;
    if (std::memcmp(stream, "GIF", 3) != 0) return false;
    return std::memcmp(stream + 3, "87a", 3) == 0 || std::memcmp(stream + 3, "89a", 3) == 0;
}

void GifParser::read_header() {
    is_gif = true;
    colour_table_size = 0;
    if (!stream || stream_size < kGifHeaderSize) return;
    picture_width = int32_t(read_u16(kScreenWidthAt));
    picture_height = int32_t(read_u16(kScreenHeightAt));
    colour_table_size = int32_t(colour_table_bytes(stream[kScreenPackedAt]));
}

void GifParser::rewind() {
    // A stream that ends inside its header or global colour table has no
    // blocks: the cursor stops at its end, where nothing is recognised.
    const uint64_t first_block = uint64_t(kGifHeaderSize) + uint32_t(colour_table_size);
    cursor = first_block > stream_size ? stream_size : uint32_t(first_block);
}

GifBlockKind GifParser::block_kind() const {
    if (!has_byte(cursor)) return gif_block_unrecognised;
    switch (stream[cursor]) {
    case kImageSeparator: return gif_block_image;
    case kTrailer: return gif_block_trailer;
    case kExtensionIntroducer: break;
    default: return gif_block_unrecognised;
    }
    // An introducer as the last byte has no label: nothing to recognise.
    if (!has_byte(uint64_t(cursor) + 1)) return gif_block_unrecognised;
    switch (stream[cursor + 1]) {
    case kLabelPlainText: return gif_block_plain_text;
    case kLabelGraphicControl: return gif_block_graphic_control;
    case kLabelComment: return gif_block_comment;
    case kLabelApplication: return gif_block_application;
    default: return gif_block_unrecognised;
    }
}

int32_t GifParser::chain_length(uint32_t offset) const {
    uint64_t at = offset;
    while (has_byte(at) && stream[at] != 0) at += uint64_t(stream[at]) + 1;
    const uint64_t length = at + 1 - offset;
    return length > kMaxLength ? -1 : int32_t(length);
}

int32_t GifParser::block_length() const {
    uint64_t fixed = 0;
    switch (block_kind()) {
    case gif_block_unrecognised: return -1;
    case gif_block_graphic_control: return int32_t(kGraphicControlLength);
    case gif_block_trailer: return int32_t(kTrailerLength);
    case gif_block_application: fixed = kApplicationFixed; break;
    case gif_block_comment: fixed = kCommentFixed; break;
    case gif_block_plain_text: fixed = kPlainTextFixed; break;
    case gif_block_image:
        // Without its packed byte the descriptor is cut off, and its fixed
        // bytes alone already reach past the end.
        if (!has_byte(uint64_t(cursor) + kImagePackedAt)) return int32_t(kImageFixed);
        fixed = kImageFixed + colour_table_bytes(stream[cursor + kImagePackedAt]);
        break;
    }
    const uint64_t chain_at = uint64_t(cursor) + fixed;
    if (chain_at > UINT32_MAX) return -1;
    const int32_t chain = chain_length(uint32_t(chain_at));
    if (chain < 0) return -1;
    const uint64_t length = fixed + uint64_t(chain);
    return length > kMaxLength ? -1 : int32_t(length);
}

bool GifParser::next_block() {
    if (!stream) return false;
    const int32_t length = block_length();
    if (length <= 0) return false;
    if (uint64_t(cursor) + uint64_t(length) > stream_size) return false;
    cursor += uint32_t(length);
    return true;
}

// Moves past the extensions that stand before a frame (application and
// comment) or, with `graphic_control_too`, between a frame's graphic control
// extension and its image. True when a frame's block follows: a graphic
// control extension, an image or a plain text extension.
bool GifParser::pass_extensions(bool graphic_control_too) {
    for (;;) {
        const GifBlockKind kind = block_kind();
        const bool skipped = kind == gif_block_application || kind == gif_block_comment ||
                             (graphic_control_too && kind == gif_block_graphic_control);
        if (!skipped) return kind != gif_block_unrecognised && kind != gif_block_trailer;
        if (!next_block()) return false;
    }
}

bool GifParser::skip_frame() {
    if (!stream) return false;
    if (!pass_extensions(false)) return false;
    if (block_kind() == gif_block_graphic_control) {
        if (!next_block() || !pass_extensions(true)) return false;
    }
    return next_block();
}

uint32_t GifParser::count_frames() {
    rewind();
    uint32_t count = 0;
    while (skip_frame()) ++count;
    return count;
}

uint8_t* GifParser::take_frame(uint32_t* block_size, uint32_t* delay, GifSize* frame_size,
                               GifOffset* frame_offset, int32_t* disposal) {
    if (!stream) return nullptr;
    *disposal = 0;
    if (!pass_extensions(false)) return nullptr;

    const uint32_t span_start = cursor;
    if (block_kind() == gif_block_graphic_control) {
        // Fields are read once the block is known to lie within the stream.
        if (!next_block()) return nullptr;
        *delay = read_u16(span_start + kGraphicControlDelayAt);
        *disposal = int32_t((stream[span_start + kGraphicControlPackedAt] >> 2) & 7);
        if (!pass_extensions(true)) return nullptr;
    } else {
        *delay = kGifNoDelay;
    }

    const uint32_t last_block = cursor;
    const bool is_image = block_kind() == gif_block_image;
    if (!next_block()) return nullptr;
    if (is_image) {
        frame_size->width = int32_t(read_u16(last_block + kImageWidthAt));
        frame_size->height = int32_t(read_u16(last_block + kImageHeightAt));
        frame_offset->left = int32_t(read_u16(last_block + kImageLeftAt));
        frame_offset->top = int32_t(read_u16(last_block + kImageTopAt));
    }

    const uint32_t span = cursor - span_start;
    const uint64_t header = uint64_t(kGifHeaderSize) + uint32_t(colour_table_size);
    const uint64_t size = header + span + kTrailerLength;
    if (header > stream_size || size > UINT32_MAX) return nullptr;

    uint8_t* block = allocate_frame_block(uint32_t(size));
    if (!block) return nullptr;
    std::memcpy(block, stream, size_t(header));
    std::memcpy(block + header, stream + span_start, span);
    block[size - 1] = kTrailer;
    *block_size = uint32_t(size);
    return block;
}

uint8_t* GifParser::allocate_frame_block(uint32_t size) {
    return static_cast<uint8_t*>(std::malloc(size));
}

void GifParser::free_frame_block(uint8_t* block) {
    std::free(block);
}
