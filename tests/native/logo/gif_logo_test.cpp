// The setup's animated logo: 29 frames of 64 x 64 behind a 768-byte global
// colour table, the first with the NETSCAPE2.0 looping extension between its
// graphic control extension and its image.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "gif_fixture.h"

namespace {

constexpr uint32_t kLogoFrames = 29;
constexpr uint32_t kLogoHeader = 13 + 768;
constexpr uint32_t kControlLength = 8;
constexpr uint32_t kLoopingLength = 19;
constexpr uint32_t kFirstImageLength = 3075;

using Block = std::pair<GifBlockKind, int32_t>;

// The kinds and lengths of the blocks a walk of the stream steps over.
std::vector<Block> blocks_of(const Bytes& stream) {
    TestParser parser(stream);
    parser.read_header();
    parser.rewind();
    std::vector<Block> blocks;
    for (;;) {
        const Block block(parser.block_kind(), parser.block_length());
        if (!parser.next_block()) return blocks;
        blocks.push_back(block);
    }
}

// Checks every frame the splitter gives; returns the length of the first
// frame's image block.
int32_t expect_logo_frames(const Bytes& logo) {
    TestParser parser(logo);
    EXPECT_TRUE(parser.is_gif_stream());
    parser.read_header();
    EXPECT_EQ(parser.picture_width, 64);
    EXPECT_EQ(parser.picture_height, 64);
    EXPECT_EQ(parser.colour_table_size, 768);
    EXPECT_EQ(parser.count_frames(), kLogoFrames);

    const std::vector<TakenFrame> frames = take_all_frames(parser);
    EXPECT_EQ(frames.size(), kLogoFrames);
    int32_t first_image = -1;
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        const TakenFrame& frame = frames[i];
        EXPECT_EQ(frame.delay, 10u);
        EXPECT_EQ(frame.disposal, 0);
        EXPECT_EQ(frame.size.width, 64);
        EXPECT_EQ(frame.size.height, 64);
        EXPECT_EQ(frame.offset.left, 0);
        EXPECT_EQ(frame.offset.top, 0);
        EXPECT_TRUE(std::equal(logo.begin(), logo.begin() + kLogoHeader, frame.stream.begin()));

        const std::vector<Block> blocks = blocks_of(frame.stream);
        const size_t image_at = i == 0 ? 2 : 1;
        EXPECT_EQ(blocks.size(), image_at + 2);
        if (blocks.size() != image_at + 2) continue;
        EXPECT_EQ(blocks[0], Block(gif_block_graphic_control, kControlLength));
        if (i == 0) {
            EXPECT_EQ(blocks[1], Block(gif_block_application, kLoopingLength));
            EXPECT_EQ(std::memcmp(frame.stream.data() + kLogoHeader + kControlLength + 3,
                                  "NETSCAPE2.0", 11),
                      0);
        }
        EXPECT_EQ(blocks[image_at].first, gif_block_image);
        EXPECT_EQ(blocks[image_at + 1], Block(gif_block_trailer, 1));
        const uint32_t image = uint32_t(blocks[image_at].second);
        const uint32_t extensions = kControlLength + (i == 0 ? kLoopingLength : 0);
        EXPECT_EQ(frame.stream.size(), kLogoHeader + extensions + image + 1);
        if (i == 0) first_image = int32_t(image);
    }
    return first_image;
}

// The logo built block by block: a 3,075-byte first image, the later images
// of other sizes.
Bytes synthetic_logo() {
    // 11 full sub-blocks and one of 246: a 3,064-byte chain, 3,075 with the
    // descriptor and code size byte.
    std::vector<int> first(11, 255);
    first.push_back(246);
    Bytes logo = concat({gif_header("89a", 64, 64, 7), gif_graphic_control(10, 0),
                         gif_netscape_loop(0), gif_image(0, 0, 64, 64, kNoColourTable, gif_chain(first))});
    for (uint32_t i = 1; i < kLogoFrames; ++i) {
        const Bytes later = concat({gif_graphic_control(10, 0),
                                    gif_image(0, 0, 64, 64, kNoColourTable,
                                              gif_chain({255, 255, 255, int(i) * 7 + 1}))});
        logo.insert(logo.end(), later.begin(), later.end());
    }
    logo.push_back(0x3B);
    return logo;
}

TEST(GifLogo, SyntheticLogoSplitsIntoItsFrames) {
    const Bytes logo = synthetic_logo();
    const int32_t first_image = expect_logo_frames(logo);
    EXPECT_EQ(first_image, int32_t(kFirstImageLength));

    TestParser parser(logo);
    parser.read_header();
    const std::vector<TakenFrame> frames = take_all_frames(parser);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].stream.size(), 3884u);  // 781 + 8 + 19 + 3,075 + 1
}

TEST(GifLogo, ResourceLogoSplitsIntoItsFrames) {
    std::ifstream file(SETUP_LOGO_GIF, std::ios::binary);
    ASSERT_TRUE(file) << SETUP_LOGO_GIF;
    const Bytes logo((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const int32_t first_image = expect_logo_frames(logo);
    EXPECT_GT(first_image, 0);
}

}  // namespace
