// Arbitrary bytes through the GIF parser, as the logo control drives it:
// signature test, header, count, then every frame taken. The bytes are copied
// into a block of exactly their size so that any read past the end is caught.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "logo/gif_parser.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    std::unique_ptr<uint8_t[]> copy(new uint8_t[size]);
    if (size) std::memcpy(copy.get(), data, size);

    GifParser parser;
    parser.stream = copy.get();
    parser.stream_size = uint32_t(size);
    if (!parser.is_gif_stream()) return 0;
    parser.read_header();
    const uint32_t header = kGifHeaderSize + uint32_t(parser.colour_table_size);

    parser.rewind();
    require(parser.cursor <= parser.stream_size);
    uint32_t count = 0;
    while (parser.skip_frame()) {
        ++count;
        require(parser.cursor <= parser.stream_size);
    }
    require(parser.cursor <= parser.stream_size);

    parser.rewind();
    uint32_t taken = 0;
    for (;;) {
        uint32_t block_size = 0, delay = 0;
        GifSize frame_size{};
        GifOffset frame_offset{};
        int32_t disposal = -1;
        const uint32_t before = parser.cursor;
        uint8_t* block = parser.take_frame(&block_size, &delay, &frame_size, &frame_offset, &disposal);
        require(parser.cursor <= parser.stream_size);
        if (!block) break;
        ++taken;

        // Header and colour table, then the span that ends at the cursor,
        // then the trailer.
        require(block_size > header);
        const uint32_t span = block_size - header - 1;
        require(span <= parser.cursor - before);
        require(block_size == kGifHeaderSize + uint32_t(parser.colour_table_size) + span + 1);
        require(std::memcmp(block, copy.get(), header) == 0);
        require(std::memcmp(block + header, copy.get() + parser.cursor - span, span) == 0);
        require(block[block_size - 1] == 0x3B);
        require(disposal >= 0 && disposal <= 7);
        require(delay == kGifNoDelay || delay <= 0xFFFF);

        // Each standalone stream is a GIF stream of exactly one frame.
        GifParser single;
        single.stream = block;
        single.stream_size = block_size;
        require(single.is_gif_stream());
        single.read_header();
        require(single.colour_table_size == parser.colour_table_size);
        require(single.count_frames() == 1);

        parser.free_frame_block(block);
    }
    require(taken == count);
    return 0;
}
