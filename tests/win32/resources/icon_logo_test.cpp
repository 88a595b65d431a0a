// The icon groups (sizes and colour depths of their images) and the logo
// (an animated 64 x 64 GIF89a of 29 frames).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "logo/gif_parser.h"
#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

struct IconImage {
    int size;
    int bit_count;
};

struct IconGroupCase {
    int id;
    std::vector<IconImage> images;
};

const IconGroupCase kIconGroups[] = {
    {IDI_SETUP_FILE, {{32, 4}, {16, 4}}},
    {IDI_SETUP_SMALL, {{48, 8}, {32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}}},
};

// GRPICONDIRENTRY, as the group resource stores it (14 bytes, packed).
struct GroupEntry {
    uint8_t width, height, colour_count, reserved;
    uint16_t planes, bit_count;
    uint32_t bytes;
    uint16_t id;
};

std::vector<GroupEntry> group_entries(int id) {
    const ResourceBytes group = resource_bytes(RT_GROUP_ICON, MAKEINTRESOURCEA(id), kNeutral);
    std::vector<GroupEntry> entries;
    if (group.size < 6) return entries;
    uint16_t count;
    std::memcpy(&count, group.data + 4, 2);
    for (uint32_t i = 0; i < count && 6 + 14 * (i + 1) <= group.size; ++i) {
        const uint8_t* p = group.data + 6 + 14 * i;
        GroupEntry e;
        e.width = p[0];
        e.height = p[1];
        e.colour_count = p[2];
        e.reserved = p[3];
        std::memcpy(&e.planes, p + 4, 2);
        std::memcpy(&e.bit_count, p + 6, 2);
        std::memcpy(&e.bytes, p + 8, 4);
        std::memcpy(&e.id, p + 12, 2);
        entries.push_back(e);
    }
    return entries;
}

TEST(IconGroup, ImagesHaveTheirSizesAndDepths) {
    for (const IconGroupCase& c : kIconGroups) {
        SCOPED_TRACE(c.id);
        const std::vector<GroupEntry> entries = group_entries(c.id);
        ASSERT_EQ(entries.size(), c.images.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(entries[i].width, c.images[i].size);
            EXPECT_EQ(entries[i].height, c.images[i].size);
            EXPECT_EQ(entries[i].bit_count, c.images[i].bit_count);
            EXPECT_EQ(entries[i].planes, 1);
            EXPECT_EQ(entries[i].colour_count, c.images[i].bit_count == 4 ? 16 : 0);
            // The image itself: a BMP header of that size and depth, neutral.
            const ResourceBytes image = resource_bytes(RT_ICON, MAKEINTRESOURCEA(entries[i].id), kNeutral);
            ASSERT_EQ(image.size, entries[i].bytes);
            BITMAPINFOHEADER header;
            ASSERT_GE(image.size, sizeof(header));
            std::memcpy(&header, image.data, sizeof(header));
            EXPECT_EQ(header.biSize, sizeof(header));
            EXPECT_EQ(header.biWidth, c.images[i].size);
            EXPECT_EQ(header.biHeight, 2 * c.images[i].size);
            EXPECT_EQ(header.biBitCount, c.images[i].bit_count);
            EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
        }
    }
}

TEST(IconGroup, SmallIconLoadsAtEverySize) {
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        HANDLE icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP_SMALL),
                                 IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << GetLastError();
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP mask = {};
        GetObjectA(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, size);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
    HANDLE file_icon = LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_SETUP_FILE),
                                  IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR);
    EXPECT_NE(file_icon, nullptr);
    if (file_icon) DestroyIcon(static_cast<HICON>(file_icon));
}

class LogoStream : public ::testing::Test {
protected:
    void SetUp() override {
        const ResourceBytes logo = resource_bytes(LOGO_RESOURCE_TYPE, MAKEINTRESOURCEA(IDR_LOGO), kNeutral);
        ASSERT_NE(logo.data, nullptr);
        parser_.stream = logo.data;
        parser_.stream_size = logo.size;
    }
    GifParser parser_;
};

TEST_F(LogoStream, HeaderIsGif89a64By64WithFullColourTable) {
    ASSERT_GE(parser_.stream_size, 13u);
    EXPECT_EQ(std::memcmp(parser_.stream, "GIF89a", 6), 0);
    ASSERT_TRUE(parser_.is_gif_stream());
    parser_.read_header();
    EXPECT_EQ(parser_.picture_width, 64);
    EXPECT_EQ(parser_.picture_height, 64);
    EXPECT_EQ(parser_.colour_table_size, 768);
    EXPECT_EQ(parser_.stream[parser_.stream_size - 1], 0x3B);
}

TEST_F(LogoStream, TwentyNineFullFramesLoopingFromTheFirst) {
    parser_.read_header();
    parser_.rewind();
    EXPECT_EQ(parser_.count_frames(), 29u);
    parser_.rewind();
    for (int frame = 0; frame < 29; ++frame) {
        SCOPED_TRACE(frame);
        uint32_t size = 0, delay = 0;
        GifSize frame_size = {};
        GifOffset offset = {-1, -1};
        int32_t disposal = -1;
        uint8_t* block = parser_.take_frame(&size, &delay, &frame_size, &offset, &disposal);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(delay, 10u);
        EXPECT_EQ(disposal, 0);
        EXPECT_EQ(frame_size.width, 64);
        EXPECT_EQ(frame_size.height, 64);
        EXPECT_EQ(offset.left, 0);
        EXPECT_EQ(offset.top, 0);
        // Header and colour table, the graphic control extension, then (first
        // frame only) the 19-byte NETSCAPE2.0 loop extension before the image.
        ASSERT_GT(size, 781u + 8u + 19u + 1u);
        EXPECT_EQ(block[781], 0x21);
        EXPECT_EQ(block[782], 0xF9);
        const bool loops = std::memcmp(block + 789, "\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19) == 0;
        EXPECT_EQ(loops, frame == 0);
        EXPECT_EQ(block[frame == 0 ? 808 : 789], 0x2C);
        EXPECT_EQ(block[size - 1], 0x3B);
        parser_.free_frame_block(block);
    }
    uint32_t size = 0, delay = 0;
    GifSize frame_size = {};
    GifOffset offset = {};
    int32_t disposal = 0;
    EXPECT_EQ(parser_.take_frame(&size, &delay, &frame_size, &offset, &disposal), nullptr);
}

}  // namespace
