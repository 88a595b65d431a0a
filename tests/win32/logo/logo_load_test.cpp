// Loading: what becomes a still picture and what an animation, the size the
// control and its surface take, and the loads that must fail cleanly.
#include <gtest/gtest.h>

#include <initializer_list>

#include "allocation_failure.h"
#include "logo_fixture.h"
#include "logo/logo_logic.h"
#include "picture_writer.h"
#include "test_colours.h"

namespace {

// Two full frames of 20 x 12 on a 20 x 12 screen.
Bytes two_frame_gif() {
    return concat({gif_screen("89a", 20, 12, test_palette()),
                   gif_control(10, 0), gif_filled(0, 0, 20, 12, red),
                   gif_control(10, 0), gif_filled(0, 0, 20, 12, green), gif_trailer()});
}

// `count` full frames of 8 x 8.
Bytes frames_gif(int count) {
    Bytes stream = gif_screen("89a", 8, 8, test_palette());
    for (int i = 0; i < count; ++i) {
        stream = concat({stream, gif_control(10, 0), gif_filled(0, 0, 8, 8, uint8_t(i % 4))});
    }
    return concat({stream, gif_trailer()});
}

class LogoLoad : public AttachedLogo<LogoControl> {};

TEST_F(LogoLoad, AnimationSizesControlAndSurfaceAndClearsToButtonFace) {
    ASSERT_TRUE(load_bytes(logo, two_frame_gif()));
    EXPECT_TRUE(logo.ready);
    EXPECT_TRUE(logo.is_gif);
    EXPECT_TRUE(logo.is_animated());
    ASSERT_EQ(2u, logo.frames.size());
    EXPECT_EQ(nullptr, logo.still_picture);
    EXPECT_EQ(nullptr, logo.stream);  // borrowed only while the load runs

    EXPECT_EQ(20, logo.picture_width);
    EXPECT_EQ(12, logo.picture_height);
    const SIZE control = area.control_size();
    EXPECT_EQ(20, control.cx);
    EXPECT_EQ(12, control.cy);
    const SIZE surface = bitmap_size(logo.surface_bitmap);
    EXPECT_EQ(20, surface.cx);
    EXPECT_EQ(12, surface.cy);

    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(face, logo.background);
    for (POINT at : {POINT{0, 0}, POINT{19, 11}, POINT{10, 6}}) {
        EXPECT_EQ(face, surface_pixel(logo, at.x, at.y)) << at.x << "," << at.y;
    }
    for (const GifFrame& frame : logo.frames) {
        EXPECT_NE(nullptr, frame.picture);
        EXPECT_EQ(20, frame.width);
        EXPECT_EQ(12, frame.height);
        EXPECT_EQ(10u, frame.delay);
    }
}

struct StillCase {
    const char* name;
    Bytes bytes;
    int32_t width;
    int32_t height;
};

TEST_F(LogoLoad, StillPicturesTakeTheirSizeInScreenPixels) {
    HDC screen = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(96, dpi_x);
    ASSERT_EQ(96, dpi_y);

    const StillCase cases[] = {
        // 2540 x 2540 HIMETRIC, one inch square.
        {"bmp 96 x 96", bmp_file(96, 96, kRed), 96, 96},
        {"emf one inch", emf_file(2540, 2540, kRed), 96, 96},
        {"emf half by one inch", emf_file(1270, 2540, kRed), 48, 96},
        // The logical screen, not the image, sizes a one-image GIF.
        {"gif one image", concat({gif_screen("89a", 40, 30, test_palette()),
                                  gif_filled(0, 0, 10, 10, red), gif_trailer()}),
         40, 30},
        {"gif87a one image with its extension", concat({gif_screen("87a", 24, 16, test_palette()),
                                                        gif_control(50, 2),
                                                        gif_filled(0, 0, 24, 16, green),
                                                        gif_trailer()}),
         24, 16},
    };
    for (const StillCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        ASSERT_TRUE(load_bytes(logo, c.bytes));
        EXPECT_NE(nullptr, logo.still_picture);
        EXPECT_TRUE(logo.frames.empty());
        EXPECT_FALSE(logo.is_animated());
        EXPECT_EQ(c.width, logo.picture_width);
        EXPECT_EQ(c.height, logo.picture_height);
        const SIZE control = area.control_size();
        EXPECT_EQ(c.width, control.cx);
        EXPECT_EQ(c.height, control.cy);
        const SIZE surface = bitmap_size(logo.surface_bitmap);
        EXPECT_EQ(c.width, surface.cx);
        EXPECT_EQ(c.height, surface.cy);
    }
}

TEST_F(LogoLoad, FailedLoadsLeaveNoSurfaceAndTheControlItsSize) {
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"not a picture", Bytes(64, 0x5A)},
        {"gif without frames", concat({gif_screen("89a", 8, 8, test_palette()), gif_trailer()})},
        {"gif cut inside its header", {'G', 'I', 'F', '8', '9', 'a', 8, 0}},
    };
    const SIZE before = area.control_size();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(load_bytes(logo, c.bytes));
        EXPECT_FALSE(logo.ready);
        EXPECT_EQ(nullptr, logo.surface_dc);
        EXPECT_TRUE(logo.frames.empty());
        EXPECT_FALSE(logo.play());
        const SIZE after = area.control_size();
        EXPECT_EQ(before.cx, after.cx);
        EXPECT_EQ(before.cy, after.cy);
    }
}

TEST_F(LogoLoad, ANewLoadReplacesTheOldPicture) {
    ASSERT_TRUE(load_bytes(logo, two_frame_gif()));
    ASSERT_TRUE(load_bytes(logo, bmp_file(16, 16, kGreen)));
    EXPECT_TRUE(logo.frames.empty());
    EXPECT_FALSE(logo.is_gif);
    EXPECT_NE(nullptr, logo.still_picture);
    EXPECT_EQ(16, area.control_size().cx);

    ASSERT_TRUE(load_bytes(logo, two_frame_gif()));
    EXPECT_EQ(nullptr, logo.still_picture);
    EXPECT_EQ(2u, logo.frames.size());
}

TEST_F(LogoLoad, UnloadFreesEverythingAndKeepsThePictureSize) {
    ASSERT_TRUE(load_bytes(logo, two_frame_gif()));
    logo.unload();
    EXPECT_FALSE(logo.ready);
    EXPECT_FALSE(logo.is_gif);
    EXPECT_TRUE(logo.frames.empty());
    EXPECT_EQ(nullptr, logo.surface_dc);
    EXPECT_EQ(nullptr, logo.surface_bitmap);
    EXPECT_EQ(0, logo.colour_table_size);
    EXPECT_EQ(0u, logo.stream_size);
    EXPECT_EQ(kLogoWhite, logo.background);
    EXPECT_EQ(20, logo.picture_width);
    EXPECT_EQ(12, logo.picture_height);
}

TEST_F(LogoLoad, FramesWithoutGraphicControlExtensionWaitAShortDelay) {
    const Bytes stream = concat({gif_screen("87a", 8, 8, test_palette()),
                                 gif_filled(0, 0, 8, 8, red), gif_filled(0, 0, 8, 8, green),
                                 gif_control(2, 0), gif_filled(0, 0, 8, 8, blue),
                                 gif_control(5, 0), gif_filled(0, 0, 8, 8, yellow), gif_trailer()});
    ASSERT_TRUE(load_bytes(logo, stream));
    ASSERT_EQ(4u, logo.frames.size());
    const uint32_t waits[] = {100, 100, 100, 50};
    for (size_t i = 0; i < logo.frames.size(); ++i) {
        EXPECT_EQ(waits[i], frame_wait_ms(logo.frames[i].delay)) << "frame " << i;
    }
    EXPECT_EQ(kGifNoDelay, logo.frames[0].delay);
    EXPECT_EQ(kGifNoDelay, logo.frames[1].delay);
}

TEST_F(LogoLoad, FramesThatCannotBeStoredEndTheLoadCleanly) {
    const struct {
        int failing_allocation;
        bool loaded;
        size_t frames;
    } cases[] = {
        {1, false, 0},  // not even one frame: nothing to show
        {2, true, 1},   // one frame: shown as nothing animated
        {3, true, 2},   // the frames taken so far play
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing_allocation);
        const Bytes stream = frames_gif(5);
        GlobalBytes memory(stream);
        fail_allocation(c.failing_allocation);
        const bool loaded = logo.load_memory(memory.block, memory.size);
        fail_allocation(0);
        EXPECT_EQ(c.loaded, loaded);
        EXPECT_EQ(c.frames, logo.frames.size());
        EXPECT_EQ(c.frames > 1, logo.is_animated());
    }
}

// A frame whose image data is no LZW stream at all does not decode.
Bytes frames_of(std::initializer_list<bool> decodable) {
    Bytes stream = gif_screen("89a", 8, 8, test_palette());
    for (bool good : decodable) {
        const Bytes image = good ? gif_filled(0, 0, 8, 8, red)
                                 : gif_image(0, 0, 8, 8, kNoColourTable, gif_chain({20}));
        stream = concat({stream, gif_control(10, 0), image});
    }
    return concat({stream, gif_trailer()});
}

TEST_F(LogoLoad, OnlyTheFramesThatDecodeAreKept) {
    const SIZE before = area.control_size();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        const char* name;
        Bytes bytes;
        bool loaded;
        size_t frames;
    } cases[] = {
        {"bad, bad", frames_of({false, false}), false, 0},  // first: the control is 30 wide
        {"good, bad, good", frames_of({true, false, true}), true, 2},
        {"good, bad", frames_of({true, false}), true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.loaded, load_bytes(logo, c.bytes));
        EXPECT_EQ(c.frames, logo.frames.size());
        EXPECT_EQ(c.frames > 1, logo.is_animated());
        const SIZE control = area.control_size();
        EXPECT_EQ(c.loaded ? 8 : before.cx, control.cx);
        if (c.frames == 1) {
            // Not an animation, and no still picture either: nothing is drawn.
            EXPECT_FALSE(logo.play());
            EXPECT_EQ(nullptr, logo.thread);
            EXPECT_EQ(face, surface_pixel(logo, 4, 4));
        }
    }
}

TEST_F(LogoLoad, MissingResourceFails) {
    EXPECT_FALSE(logo.load(MAKEINTRESOURCEA(999), "GIF"));
    EXPECT_FALSE(logo.ready);
}

TEST(LogoWithoutWindow, LoadAndPlayDoNothing) {
    LogoControl logo;
    EXPECT_FALSE(logo.load(MAKEINTRESOURCEA(506), "GIF"));
    EXPECT_FALSE(load_bytes(logo, two_frame_gif()));
    EXPECT_FALSE(load_bytes(logo, bmp_file(8, 8, kRed)));
    EXPECT_FALSE(logo.play());
    EXPECT_FALSE(logo.ready);
    EXPECT_EQ(nullptr, logo.surface_dc);
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_TRUE(logo.frames.empty());
    EXPECT_EQ(nullptr, logo.still_picture);
}

TEST_F(LogoLoad, TheSetupLogoResourceGivesTwentyNineFrames) {
    ASSERT_TRUE(logo.load(MAKEINTRESOURCEA(506), "GIF"));
    ASSERT_EQ(29u, logo.frames.size());
    EXPECT_TRUE(logo.is_animated());
    EXPECT_EQ(64, logo.picture_width);
    EXPECT_EQ(64, logo.picture_height);
    EXPECT_EQ(64, area.control_size().cx);
    EXPECT_EQ(64, area.control_size().cy);
    EXPECT_EQ(768, logo.colour_table_size);
    for (const GifFrame& frame : logo.frames) {
        EXPECT_EQ(64, frame.width);
        EXPECT_EQ(64, frame.height);
        EXPECT_EQ(0, frame.left);
        EXPECT_EQ(0, frame.top);
        EXPECT_EQ(10u, frame.delay);
        EXPECT_EQ(0, frame.disposal);
    }
}

}  // namespace
