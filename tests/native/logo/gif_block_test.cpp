// Block kinds, block and chain lengths, and the step from block to block.
#include <gtest/gtest.h>

#include <string>

#include "gif_fixture.h"

namespace {

// A GIF89a header without a global colour table: blocks start at 13.
Bytes plain_header() {
    return gif_header("89a", 16, 16, kNoColourTable);
}

struct BlockCase {
    const char* name;
    Bytes block;
    GifBlockKind kind;
    bool recognised;  // its length is the block's own size
};

std::vector<BlockCase> block_cases() {
    const Bytes netscape = gif_netscape_loop(0);
    return {
        {"application NETSCAPE2.0", netscape, gif_block_application, true},
        {"application, several sub-blocks", gif_application("XMP DataXMP", gif_chain({255, 1, 17})),
         gif_block_application, true},
        {"application, empty chain", gif_application("ABCDEFGH123", gif_chain({})),
         gif_block_application, true},
        {"comment, empty chain", gif_comment(gif_chain({})), gif_block_comment, true},
        {"comment, several sub-blocks", gif_comment(gif_chain({1, 2, 255, 3})), gif_block_comment,
         true},
        {"graphic control", gif_graphic_control(10, gif_disposal_bits(2)),
         gif_block_graphic_control, true},
        {"plain text", gif_plain_text(gif_chain({4, 4})), gif_block_plain_text, true},
        {"image, no local table", gif_image(1, 2, 3, 4, kNoColourTable, gif_chain({5})),
         gif_block_image, true},
        {"image, empty data chain", gif_image(0, 0, 1, 1, kNoColourTable, gif_chain({})),
         gif_block_image, true},
        {"image, local table N=0", gif_image(0, 0, 8, 8, 0, gif_chain({255, 255, 9})),
         gif_block_image, true},
        {"image, local table N=3", gif_image(0, 0, 8, 8, 3, gif_chain({1})), gif_block_image, true},
        {"image, local table N=7", gif_image(0, 0, 8, 8, 7, gif_chain({200})), gif_block_image,
         true},
        {"trailer", gif_trailer(), gif_block_trailer, true},
        {"extension with unknown label", {0x21, 0x02, 0x00}, gif_block_unrecognised, false},
        {"extension with label 0xF8", {0x21, 0xF8, 0x00}, gif_block_unrecognised, false},
        {"zero byte", {0x00}, gif_block_unrecognised, false},
        {"image separator minus one", {0x2B}, gif_block_unrecognised, false},
        {"trailer plus one", {0x3C}, gif_block_unrecognised, false},
        {"lone extension introducer", {0x21}, gif_block_unrecognised, false},
    };
}

TEST(GifBlock, KindAndLengthOfEveryBlock) {
    for (const BlockCase& c : block_cases()) {
        SCOPED_TRACE(c.name);
        const int32_t expected_length = c.recognised ? int32_t(c.block.size()) : -1;
        // Followed by a trailer, and as the very last block of the stream.
        for (const Bytes& stream : {concat({plain_header(), c.block, gif_trailer()}),
                                    concat({plain_header(), c.block})}) {
            TestParser parser(stream);
            parser.read_header();
            parser.rewind();
            EXPECT_EQ(parser.block_kind(), c.kind);
            EXPECT_EQ(parser.block_length(), expected_length);
            EXPECT_EQ(parser.next_block(), c.recognised);
            EXPECT_EQ(parser.cursor, 13u + (c.recognised ? c.block.size() : 0));
        }
    }
}

TEST(GifBlock, ChainLengthCountsSubBlocksAndTerminator) {
    const std::vector<int> chains[] = {{}, {1}, {2, 3}, {255}, {255, 255, 1}, {1, 1, 1, 1, 1, 1}};
    for (const std::vector<int>& sizes : chains) {
        SCOPED_TRACE(sizes.size());
        const Bytes chain = gif_chain(sizes);
        // Starting at an offset inside the stream, data after it.
        TestParser parser(concat({{0x01, 0x00, 0x00}, chain, gif_chain({7})}));
        EXPECT_EQ(parser.chain_length(3), int32_t(chain.size()));
    }
}

// A chain cut anywhere before its terminator measures past the end of the
// stream, and the block holding it does not fit.
TEST(GifBlock, ChainCutBeforeTerminatorRunsPastTheEnd) {
    const Bytes comment = gif_comment(gif_chain({3, 255, 1}));
    const Bytes full = concat({plain_header(), comment});
    // From the first byte of the chain on; before it the block is unrecognised.
    for (size_t length = 13 + 2; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        TestParser parser(Bytes(full.begin(), full.begin() + length));
        parser.rewind();
        const uint32_t chain_at = 13 + 2;
        EXPECT_GT(uint64_t(chain_at) + uint64_t(parser.chain_length(chain_at)), parser.stream_size);
        EXPECT_GT(uint64_t(parser.cursor) + uint64_t(parser.block_length()), parser.stream_size);
        EXPECT_FALSE(parser.next_block());
        EXPECT_EQ(parser.cursor, 13u);
    }
}

TEST(GifBlock, ChainAtOrPastTheEndHasOnlyItsMissingTerminator) {
    TestParser parser(Bytes{0x02, 0x41, 0x42});
    EXPECT_EQ(parser.chain_length(3), 1);
    EXPECT_EQ(parser.chain_length(0), 4);  // terminator would be at 3
    EXPECT_EQ(parser.chain_length(1000), 1);
}

// Every block cut at every byte fails to step, with the cursor unmoved.
TEST(GifBlock, BlockCutAtEveryByteDoesNotFit) {
    for (const BlockCase& c : block_cases()) {
        if (!c.recognised) continue;
        SCOPED_TRACE(c.name);
        for (size_t kept = 1; kept < c.block.size(); ++kept) {
            SCOPED_TRACE(kept);
            TestParser parser(concat({plain_header(), Bytes(c.block.begin(), c.block.begin() + kept)}));
            parser.rewind();
            EXPECT_FALSE(parser.next_block());
            EXPECT_EQ(parser.cursor, 13u);
        }
    }
}

TEST(GifBlock, CursorAtTheEndIsUnrecognised) {
    TestParser parser(concat({plain_header(), gif_trailer()}));
    parser.rewind();
    ASSERT_TRUE(parser.next_block());
    EXPECT_EQ(parser.cursor, parser.stream_size);
    EXPECT_EQ(parser.block_kind(), gif_block_unrecognised);
    EXPECT_EQ(parser.block_length(), -1);
    EXPECT_FALSE(parser.next_block());
    EXPECT_EQ(parser.cursor, parser.stream_size);
}

TEST(GifBlock, NoStreamWalksNothing) {
    GifParser parser;
    parser.stream_size = 100;  // a size without bytes is not trusted
    parser.cursor = 13;
    EXPECT_EQ(parser.block_kind(), gif_block_unrecognised);
    EXPECT_FALSE(parser.next_block());
    EXPECT_FALSE(parser.skip_frame());
    uint32_t block_size = 0, delay = 0;
    GifSize size{};
    GifOffset offset{};
    int32_t disposal = 0;
    EXPECT_EQ(parser.take_frame(&block_size, &delay, &size, &offset, &disposal), nullptr);
    EXPECT_EQ(parser.cursor, 13u);
}

}  // namespace
