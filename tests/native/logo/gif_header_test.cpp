// Signature test, header fields and streams that end inside their header.
#include <gtest/gtest.h>

#include <string>

#include "gif_fixture.h"

namespace {

Bytes text_bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(GifSignature, TakesOnlyGif87aAndGif89a) {
    struct Case {
        const char* head;
        bool is_gif;
    } const cases[] = {
        {"GIF89a", true},   {"GIF87a", true},   {"GIF88a", false}, {"GIF89b", false},
        {"gif89a", false},  {"GIF8", false},    {"GIF89", false},  {"", false},
        {"\x89PNG\r\n", false}, {"GIF90a", false}, {"GIFGIF", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        // Exactly the signature: nothing after it to lean on.
        TestParser parser(text_bytes(c.head));
        EXPECT_EQ(parser.is_gif_stream(), c.is_gif);
        // The same head followed by a screen descriptor, colour table and image.
        const Bytes rest = concat({gif_header("89a", 1, 1, 0),
                                   gif_image(0, 0, 1, 1, kNoColourTable, gif_chain({2})), gif_trailer()});
        TestParser full(concat({text_bytes(c.head), Bytes(rest.begin() + 6, rest.end())}));
        EXPECT_EQ(full.is_gif_stream(), c.is_gif);
    }
}

TEST(GifSignature, NoStreamIsNotGif) {
    GifParser parser;
    EXPECT_FALSE(parser.is_gif_stream());
}

TEST(GifHeader, ColourTableSizeForEverySizeValue) {
    const int32_t sizes[8] = {6, 12, 24, 48, 96, 192, 384, 768};
    for (int n = 0; n < 8; ++n) {
        SCOPED_TRACE(n);
        TestParser parser(concat({gif_header("89a", 10, 20, n), gif_trailer()}));
        ASSERT_TRUE(parser.is_gif_stream());
        parser.read_header();
        EXPECT_TRUE(parser.is_gif);
        EXPECT_EQ(parser.colour_table_size, sizes[n]);
        parser.rewind();
        EXPECT_EQ(parser.cursor, 13u + uint32_t(sizes[n]));
        EXPECT_EQ(parser.block_kind(), gif_block_trailer);
    }
}

TEST(GifHeader, SizeBitsWithoutTheFlagGiveNoColourTable) {
    Bytes stream = concat({gif_header("87a", 10, 20, kNoColourTable), gif_trailer()});
    stream[10] = 0x07;
    TestParser parser(stream);
    parser.colour_table_size = 99;  // left over from an earlier stream
    parser.read_header();
    EXPECT_EQ(parser.colour_table_size, 0);
    parser.rewind();
    EXPECT_EQ(parser.cursor, 13u);
    EXPECT_EQ(parser.block_kind(), gif_block_trailer);
}

TEST(GifHeader, ScreenSizeIsLittleEndian) {
    const struct {
        uint16_t width, height;
    } cases[] = {{64, 64}, {0x1234, 0x0102}, {0xFFFF, 1}, {0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        TestParser parser(gif_header("89a", c.width, c.height, kNoColourTable));
        parser.read_header();
        EXPECT_EQ(parser.picture_width, int32_t(c.width));
        EXPECT_EQ(parser.picture_height, int32_t(c.height));
    }
}

// A stream that ends inside its header or global colour table yields no
// frames and no frame blocks, and nothing past its end is read.
TEST(GifHeader, StreamCutInsideHeaderOrColourTableHasNoFrames) {
    const Bytes full = concat({gif_header("89a", 64, 48, 7), gif_image(0, 0, 64, 48, kNoColourTable,
                                                                     gif_chain({3})),
                               gif_trailer()});
    const uint32_t table_end = 13 + 768;
    for (uint32_t length : {6u, 7u, 10u, 11u, 12u, 13u, 14u, 100u, table_end - 1, table_end}) {
        SCOPED_TRACE(length);
        TestParser parser(Bytes(full.begin(), full.begin() + length));
        ASSERT_TRUE(parser.is_gif_stream());
        parser.read_header();
        EXPECT_TRUE(parser.is_gif);
        parser.rewind();
        EXPECT_EQ(parser.cursor, length);
        EXPECT_EQ(parser.block_kind(), gif_block_unrecognised);
        EXPECT_EQ(parser.count_frames(), 0u);
        EXPECT_TRUE(take_all_frames(parser).empty());
        EXPECT_EQ(parser.allocations, 0);
    }
}

TEST(GifHeader, ShortHeaderKeepsScreenSizeAndGetsNoTable) {
    Bytes stream = gif_header("89a", 300, 200, 7);
    stream.resize(12);
    TestParser parser(stream);
    parser.picture_width = 5;
    parser.picture_height = 6;
    parser.colour_table_size = 768;
    parser.read_header();
    EXPECT_TRUE(parser.is_gif);
    EXPECT_EQ(parser.colour_table_size, 0);
    EXPECT_EQ(parser.picture_width, 5);
    EXPECT_EQ(parser.picture_height, 6);
}

}  // namespace
