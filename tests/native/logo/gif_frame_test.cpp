// Frames: counting with skip_frame, and the standalone streams, delays,
// disposals, sizes and positions take_frame gives.
#include <gtest/gtest.h>

#include "gif_fixture.h"

namespace {

constexpr int kOutside = -1;  // a block that belongs to no frame

// One block of a stream and the frame whose span holds it.
struct Piece {
    Bytes bytes;
    int frame;
};

struct ExpectedFrame {
    uint32_t delay;
    int32_t disposal;
    GifSize size;  // kUnwritten for a frame that ends in plain text
    GifOffset offset;
};

struct FrameCase {
    const char* name;
    Bytes header;
    std::vector<Piece> pieces;
    std::vector<ExpectedFrame> frames;
};

Bytes stream_of(const FrameCase& c) {
    Bytes out = c.header;
    for (const Piece& piece : c.pieces) out.insert(out.end(), piece.bytes.begin(), piece.bytes.end());
    return out;
}

// Header and colour table unchanged, the frame's blocks, a trailer.
Bytes standalone_of(const FrameCase& c, int frame) {
    Bytes out = c.header;
    for (const Piece& piece : c.pieces) {
        if (piece.frame == frame) out.insert(out.end(), piece.bytes.begin(), piece.bytes.end());
    }
    out.push_back(0x3B);
    return out;
}

Bytes header89() {
    return gif_header("89a", 32, 16, 1);
}

Bytes image(uint16_t left, uint16_t top, uint16_t width, uint16_t height) {
    return gif_image(left, top, width, height, kNoColourTable, gif_chain({5, 255, 2}));
}

Bytes control(uint16_t delay, int disposal) {
    return gif_graphic_control(delay, gif_disposal_bits(disposal));
}

const GifSize kNoSize = {kUnwritten, kUnwritten};
const GifOffset kNoOffset = {kUnwritten, kUnwritten};

std::vector<FrameCase> frame_cases() {
    return {
        {"two frames with graphic control extensions",
         header89(),
         {{control(10, 0), 0}, {image(0, 0, 32, 16), 0}, {control(20, 2), 1}, {image(4, 2, 8, 9), 1},
          {gif_trailer(), kOutside}},
         {{10, 0, {32, 16}, {0, 0}}, {20, 2, {8, 9}, {4, 2}}}},
        {"GIF87a, several images, no graphic control",
         gif_header("87a", 20, 20, 2),
         {{image(0, 0, 20, 20), 0}, {image(1, 2, 3, 4), 1}, {image(5, 6, 7, 8), 2},
          {gif_trailer(), kOutside}},
         {{kGifNoDelay, 0, {20, 20}, {0, 0}}, {kGifNoDelay, 0, {3, 4}, {1, 2}},
          {kGifNoDelay, 0, {7, 8}, {5, 6}}}},
        {"comment before the graphic control is left out, one after it is copied",
         header89(),
         {{gif_comment(gif_chain({3})), kOutside}, {control(7, 1), 0},
          {gif_comment(gif_chain({4, 2})), 0}, {image(0, 0, 32, 16), 0},
          {gif_comment(gif_chain({})), kOutside}, {image(1, 1, 2, 2), 1}, {gif_trailer(), kOutside}},
         {{7, 1, {32, 16}, {0, 0}}, {kGifNoDelay, 0, {2, 2}, {1, 1}}}},
        {"application extensions before and inside frames",
         header89(),
         {{gif_netscape_loop(0), kOutside}, {control(3, 0), 0}, {gif_netscape_loop(5), 0},
          {gif_application("ABCDEFGH1.0", gif_chain({255, 255, 1})), 0}, {image(0, 0, 32, 16), 0},
          {gif_application("ABCDEFGH1.0", gif_chain({9})), kOutside},
          {gif_comment(gif_chain({1})), kOutside}, {control(4, 1), 1},
          {gif_comment(gif_chain({1})), 1}, {gif_netscape_loop(1), 1}, {image(0, 0, 32, 16), 1},
          {gif_trailer(), kOutside}},
         {{3, 0, {32, 16}, {0, 0}}, {4, 1, {32, 16}, {0, 0}}}},
        {"two graphic control extensions: the first gives delay and disposal",
         header89(),
         {{control(7, 1), 0}, {gif_comment(gif_chain({2})), 0}, {control(50, 3), 0},
          {image(2, 3, 4, 5), 0}, {image(0, 0, 1, 1), 1}, {gif_trailer(), kOutside}},
         {{7, 1, {4, 5}, {2, 3}}, {kGifNoDelay, 0, {1, 1}, {0, 0}}}},
        {"plain text extensions end frames",
         header89(),
         {{control(5, 2), 0}, {gif_plain_text(gif_chain({6, 6})), 0},
          {gif_plain_text(gif_chain({})), 1}, {control(6, 3), 2}, {image(9, 8, 7, 6), 2},
          {gif_trailer(), kOutside}},
         {{5, 2, kNoSize, kNoOffset}, {kGifNoDelay, 0, kNoSize, kNoOffset}, {6, 3, {7, 6}, {9, 8}}}},
        {"an unrecognised block ends the frames; those before it count",
         header89(),
         {{image(0, 0, 4, 4), 0}, {control(1, 0), 1}, {image(0, 0, 5, 5), 1},
          {{0x21, 0x02, 0x01, 0x00, 0x00}, kOutside}, {image(0, 0, 6, 6), kOutside},
          {gif_trailer(), kOutside}},
         {{kGifNoDelay, 0, {4, 4}, {0, 0}}, {1, 0, {5, 5}, {0, 0}}}},
        {"a graphic control extension before the trailer is no frame",
         header89(),
         {{image(0, 0, 4, 4), 0}, {control(1, 0), kOutside}, {gif_trailer(), kOutside}},
         {{kGifNoDelay, 0, {4, 4}, {0, 0}}}},
        {"a graphic control extension before an unrecognised block is no frame",
         header89(),
         {{image(0, 0, 4, 4), 0}, {control(1, 0), kOutside}, {gif_comment(gif_chain({1})), kOutside},
          {{0x00}, kOutside}, {image(0, 0, 4, 4), kOutside}},
         {{kGifNoDelay, 0, {4, 4}, {0, 0}}}},
        {"missing trailer: the frames end where the blocks end",
         header89(),
         {{image(0, 0, 4, 4), 0}, {control(8, 4), 1}, {image(1, 1, 3, 3), 1}},
         {{kGifNoDelay, 0, {4, 4}, {0, 0}}, {8, 4, {3, 3}, {1, 1}}}},
        {"one image",
         header89(),
         {{control(10, 0), 0}, {image(0, 0, 32, 16), 0}, {gif_trailer(), kOutside}},
         {{10, 0, {32, 16}, {0, 0}}}},
        {"no global colour table: only the frames' own local tables",
         gif_header("89a", 64, 64, kNoColourTable),
         {{gif_image(0, 0, 64, 64, 2, gif_chain({40})), 0},
          {gif_image(8, 8, 16, 16, 0, gif_chain({3, 3})), 1},
          {gif_image(0, 0, 64, 64, kNoColourTable, gif_chain({1})), 2}, {gif_trailer(), kOutside}},
         {{kGifNoDelay, 0, {64, 64}, {0, 0}}, {kGifNoDelay, 0, {16, 16}, {8, 8}},
          {kGifNoDelay, 0, {64, 64}, {0, 0}}}},
        {"only extensions: no frame",
         header89(),
         {{gif_netscape_loop(0), kOutside}, {gif_comment(gif_chain({5})), kOutside},
          {gif_trailer(), kOutside}},
         {}},
        {"trailer first: no frame", header89(), {{gif_trailer(), kOutside}, {image(0, 0, 1, 1), kOutside}},
         {}},
        {"largest descriptor values",
         header89(),
         {{gif_graphic_control(0xFFFF, 0xFF), 0}, {image(0xFFFF, 0xFFFE, 0xFFFD, 0xFFFC), 0}},
         {{0xFFFF, 7, {0xFFFD, 0xFFFC}, {0xFFFF, 0xFFFE}}}},
    };
}

TEST(GifFrames, CountAndTakeEveryCase) {
    for (const FrameCase& c : frame_cases()) {
        SCOPED_TRACE(c.name);
        TestParser parser(stream_of(c));
        ASSERT_TRUE(parser.is_gif_stream());
        parser.read_header();
        EXPECT_EQ(parser.count_frames(), c.frames.size());

        const std::vector<TakenFrame> taken = take_all_frames(parser);
        ASSERT_EQ(taken.size(), c.frames.size());
        for (size_t i = 0; i < taken.size(); ++i) {
            SCOPED_TRACE(i);
            const ExpectedFrame& want = c.frames[i];
            EXPECT_EQ(taken[i].stream, standalone_of(c, int(i)));
            EXPECT_EQ(taken[i].delay, want.delay);
            EXPECT_EQ(taken[i].disposal, want.disposal);
            EXPECT_EQ(taken[i].size.width, want.size.width);
            EXPECT_EQ(taken[i].size.height, want.size.height);
            EXPECT_EQ(taken[i].offset.left, want.offset.left);
            EXPECT_EQ(taken[i].offset.top, want.offset.top);
        }
        EXPECT_LE(parser.cursor, parser.stream_size);
    }
}

// Each standalone stream is itself a GIF stream of exactly one frame.
TEST(GifFrames, StandaloneStreamHoldsOneFrame) {
    for (const FrameCase& c : frame_cases()) {
        SCOPED_TRACE(c.name);
        TestParser parser(stream_of(c));
        parser.read_header();
        for (const TakenFrame& frame : take_all_frames(parser)) {
            TestParser single(frame.stream);
            ASSERT_TRUE(single.is_gif_stream());
            single.read_header();
            EXPECT_EQ(single.colour_table_size, parser.colour_table_size);
            EXPECT_EQ(single.count_frames(), 1u);
            EXPECT_EQ(single.block_kind(), gif_block_trailer);
            EXPECT_EQ(single.cursor + 1, single.stream_size);
        }
    }
}

TEST(GifFrames, DisposalIsBitsTwoToFourAndDelayIsLittleEndian) {
    const struct {
        uint8_t packed;
        uint16_t delay;
        int32_t disposal;
    } cases[] = {
        {0x00, 0, 0},      {0x04, 1, 1},      {0x08, 2, 2},        {0x0C, 10, 3},
        {0x10, 0x1234, 4}, {0x14, 0x00FF, 5}, {0x18, 0xFF00, 6},   {0x1C, 0xFFFF, 7},
        {0xE3, 5, 0},      {0xFF, 5, 7},      {0x09, 5, 2},        {0x03, 5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.packed));
        TestParser parser(concat({header89(), gif_graphic_control(c.delay, c.packed),
                                  image(0, 0, 1, 1), gif_trailer()}));
        parser.read_header();
        const std::vector<TakenFrame> taken = take_all_frames(parser);
        ASSERT_EQ(taken.size(), 1u);
        EXPECT_EQ(taken[0].delay, uint32_t(c.delay));
        EXPECT_EQ(taken[0].disposal, c.disposal);
    }
}

// A small multi-frame stream cut at every byte: frames are counted and taken
// exactly as far as they lie whole within what is left, and they are the
// full stream's frames byte for byte. The exact-sized copy lets the
// sanitizer catch any read past the end.
TEST(GifFrames, TruncatedAtEveryByte) {
    const FrameCase c = {
        "truncation",
        gif_header("89a", 8, 8, 0),
        {{gif_netscape_loop(0), kOutside}, {control(10, 1), 0}, {gif_comment(gif_chain({2})), 0},
         {gif_image(0, 0, 8, 8, 0, gif_chain({4, 1})), 0}, {gif_comment(gif_chain({1})), kOutside},
         {gif_image(1, 1, 2, 2, kNoColourTable, gif_chain({})), 1}, {control(20, 2), 2},
         {gif_plain_text(gif_chain({1})), 2}, {control(30, 3), 3}, {control(40, 0), 3},
         {gif_image(0, 0, 8, 8, kNoColourTable, gif_chain({3})), 3}, {gif_trailer(), kOutside}},
        {}};
    const Bytes full = stream_of(c);

    // Where each frame's last block ends.
    std::vector<size_t> frame_ends;
    size_t at = c.header.size();
    for (const Piece& piece : c.pieces) {
        at += piece.bytes.size();
        if (piece.frame == kOutside) continue;
        if (frame_ends.size() <= size_t(piece.frame)) frame_ends.resize(size_t(piece.frame) + 1);
        frame_ends[size_t(piece.frame)] = at;
    }
    ASSERT_EQ(frame_ends.size(), 4u);

    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        TestParser parser(Bytes(full.begin(), full.begin() + length));
        if (!parser.is_gif_stream()) {
            EXPECT_LT(length, 6u);
            continue;
        }
        parser.read_header();
        uint32_t whole = 0;
        for (size_t end : frame_ends) whole += end <= length ? 1 : 0;

        parser.rewind();
        uint32_t count = 0;
        while (parser.skip_frame()) {
            ++count;
            ASSERT_LE(parser.cursor, parser.stream_size);
        }
        EXPECT_LE(parser.cursor, parser.stream_size);
        EXPECT_EQ(count, whole);

        const std::vector<TakenFrame> taken = take_all_frames(parser);
        EXPECT_LE(parser.cursor, parser.stream_size);
        ASSERT_EQ(taken.size(), whole);
        for (size_t i = 0; i < taken.size(); ++i) EXPECT_EQ(taken[i].stream, standalone_of(c, int(i)));
    }
}

TEST(GifFrames, FailedAllocationEndsTheSplittingAndKeepsEarlierFrames) {
    const FrameCase c = frame_cases()[1];  // three frames
    TestParser parser(stream_of(c));
    parser.read_header();
    parser.fail_from_allocation = 2;
    const std::vector<TakenFrame> taken = take_all_frames(parser);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].stream, standalone_of(c, 0));
    EXPECT_EQ(parser.allocations, 2);
}

TEST(GifFrames, BlockSizeIsHeaderTableSpanAndTrailer) {
    const Bytes frame_blocks = concat({control(10, 0), gif_comment(gif_chain({9})), image(0, 0, 2, 2)});
    for (int n : {kNoColourTable, 0, 7}) {
        SCOPED_TRACE(n);
        const Bytes header = gif_header("89a", 2, 2, n);
        TestParser parser(concat({header, frame_blocks, gif_trailer()}));
        parser.read_header();
        parser.rewind();
        uint32_t block_size = 0, delay = 0;
        GifSize size{};
        GifOffset offset{};
        int32_t disposal = -1;
        uint8_t* block = parser.take_frame(&block_size, &delay, &size, &offset, &disposal);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block_size, 13u + uint32_t(parser.colour_table_size) + frame_blocks.size() + 1);
        EXPECT_EQ(block_size, header.size() + frame_blocks.size() + 1);
        EXPECT_EQ(block[block_size - 1], 0x3B);
        parser.free_frame_block(block);
    }
}

}  // namespace
