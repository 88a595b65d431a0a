// GIF parser and frame splitter of the logo control: decides whether a block
// of bytes is a GIF stream, reads its header, counts its frames and cuts each
// frame out as a standalone single-image GIF stream. It works on the bytes
// alone; the one outside service is the allocation of each frame's block,
// which the Win32 control overrides to hand out fixed global memory.
//
// No byte at or beyond `stream_size` is ever read. A block that would run
// past the end stops the walk, as does an unrecognised block.
#pragma once

#include <cstdint>

// The kind of the block at the cursor; the values are the ones the block walk
// works with.
enum GifBlockKind {
    gif_block_unrecognised = 0,     // any other first byte, or 0x21 with any other label
    gif_block_application = 1,      // 0x21 0xFF
    gif_block_comment = 2,          // 0x21 0xFE
    gif_block_graphic_control = 3,  // 0x21 0xF9
    gif_block_plain_text = 4,       // 0x21 0x01
    gif_block_image = 5,            // 0x2C: image descriptor, then the image data
    gif_block_trailer = 6,          // 0x3B
};

// A frame's size and position from its image descriptor, in pixels.
struct GifSize {
    int32_t width;
    int32_t height;
};

struct GifOffset {
    int32_t left;
    int32_t top;
};

// `delay` of a frame without a graphic control extension.
constexpr uint32_t kGifNoDelay = 0xFFFFFFFFu;

// Signature, version and logical screen descriptor; the global colour table
// follows.
constexpr uint32_t kGifHeaderSize = 13;

class GifParser {
public:
    virtual ~GifParser() = default;

    // The stream starts with "GIF" and the version "87a" or "89a".
    bool is_gif_stream() const;

    // GIF streams only: sets `is_gif`, `colour_table_size`, `picture_width`
    // and `picture_height`. A stream that ends inside its 13 header bytes
    // keeps the screen size it had and gets no colour table.
    void read_header();

    // Puts the cursor on the first block after the header and the global
    // colour table. A stream that ends inside them yields no frames: the
    // cursor stops at its end, so it never lies beyond the stream.
    void rewind();

    GifBlockKind block_kind() const;

    // Length of the sub-block chain starting at `offset`: each size byte n
    // counts n + 1, the terminator 1. A chain cut off by the end of the
    // stream is measured up to the first size byte or terminator that is
    // missing, that byte included, so its length reaches beyond the stream.
    // -1 when the length does not fit the signed 32-bit result.
    int32_t chain_length(uint32_t offset) const;

    // Length of the block at the cursor, counted from its first byte. -1 for
    // an unrecognised block, and for a block whose length does not fit the
    // signed 32-bit result. A block whose fixed part is cut off by the end of
    // the stream gets a length that reaches beyond it.
    int32_t block_length() const;

    // Moves the cursor past the block under it. Fails, with the cursor left
    // where it was, at an unrecognised block or one that runs past the end;
    // a block ending exactly at the end of the stream is accepted.
    bool next_block();

    // Moves the cursor past the next frame; false when no further frame
    // follows.
    bool skip_frame();

    // From `rewind`: the number of frames, counted with `skip_frame`. Leaves
    // the cursor after the last frame.
    uint32_t count_frames();

    // The next frame's standalone GIF stream (the header and global colour
    // table, the frame's blocks from its graphic control extension or image
    // to the end of its image data, a trailer), allocated with
    // `allocate_frame_block` and owned by the caller, who releases it with
    // `free_frame_block` or hands it to the picture decoder. Null when no
    // further frame can be taken or the block cannot be allocated. A frame
    // that ends in a plain text extension leaves `frame_size` and
    // `frame_offset` unwritten.
    uint8_t* take_frame(uint32_t* block_size, uint32_t* delay, GifSize* frame_size,
                        GifOffset* frame_offset, int32_t* disposal);

    // Allocation seam for the blocks `take_frame` gives: malloc and free here.
    virtual uint8_t* allocate_frame_block(uint32_t size);
    virtual void free_frame_block(uint8_t* block);

    const uint8_t* stream = nullptr;  // borrowed; set only while a load runs
    uint32_t stream_size = 0;
    uint32_t cursor = 0;              // offset of the block under examination
    int32_t colour_table_size = 0;    // bytes of the global colour table; 0 when none
    bool is_gif = false;              // the stream loaded last was taken as GIF
    int32_t picture_width = 0;        // logical screen size of a GIF stream
    int32_t picture_height = 0;

private:
    bool has_byte(uint64_t offset) const { return stream && offset < stream_size; }
    uint32_t read_u16(uint32_t offset) const;
    bool pass_extensions(bool graphic_control_too);
};
