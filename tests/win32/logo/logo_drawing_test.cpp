// Drawing into the surface: still pictures, frames at their places, the
// cleared start of every cycle, the disposal methods, and the paint.
#include <gtest/gtest.h>

#include "logo_fixture.h"
#include "picture_writer.h"
#include "test_colours.h"

namespace {

// A 16 x 16 screen: frame 0 fills it blue; frame 1 puts an 8 x 8 red square
// at (4, 4) with disposal method `disposal`; frame 2 an 8 x 8 green square at
// (0, 8) covering nothing of frame 1's.
Bytes disposal_gif(int disposal) {
    return concat({gif_screen("89a", 16, 16, test_palette()),
                   gif_control(10, 0), gif_filled(0, 0, 16, 16, blue),
                   gif_control(10, disposal), gif_filled(4, 4, 8, 8, red),
                   gif_control(10, 0), gif_filled(0, 12, 4, 4, green), gif_trailer()});
}

class LogoDrawing : public AttachedLogo<LogoControl> {};

TEST_F(LogoDrawing, StillPictureIsDrawnOnceWithoutAThread) {
    ASSERT_TRUE(load_bytes(logo, concat({gif_screen("89a", 8, 8, test_palette()),
                                         gif_filled(0, 0, 8, 8, red), gif_trailer()})));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), surface_pixel(logo, 4, 4));
    EXPECT_TRUE(logo.play());
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_EQ(kRed, surface_pixel(logo, 0, 0));
    EXPECT_EQ(kRed, surface_pixel(logo, 7, 7));
}

TEST_F(LogoDrawing, NonGifStillPictureIsDrawnScaledToItsSize) {
    ASSERT_TRUE(load_bytes(logo, bmp_file(12, 10, kGreen)));
    EXPECT_TRUE(logo.play());
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_EQ(kGreen, surface_pixel(logo, 0, 0));
    EXPECT_EQ(kGreen, surface_pixel(logo, 11, 9));
}

TEST_F(LogoDrawing, FramesAreDrawnAtTheirPlaces) {
    ASSERT_TRUE(load_bytes(logo, disposal_gif(0)));
    logo.draw_frame(0);
    logo.draw_frame(1);
    EXPECT_EQ(kBlue, surface_pixel(logo, 3, 3));
    EXPECT_EQ(kRed, surface_pixel(logo, 4, 4));
    EXPECT_EQ(kRed, surface_pixel(logo, 11, 11));
    EXPECT_EQ(kBlue, surface_pixel(logo, 12, 12));
}

TEST_F(LogoDrawing, EachDisposalMethodLeavesWhatItShould) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const struct {
        int disposal;
        COLORREF left_behind;  // under frame 1, once it was disposed of
    } cases[] = {
        {0, kRed}, {1, kRed}, {2, face}, {3, kBlue}, {4, kRed}, {7, kRed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.disposal);
        ASSERT_TRUE(load_bytes(logo, disposal_gif(c.disposal)));
        ASSERT_EQ(3u, logo.frames.size());
        ASSERT_EQ(c.disposal, logo.frames[1].disposal);
        logo.draw_frame(0);
        logo.draw_frame(1);
        EXPECT_EQ(c.disposal == 3, logo.saved_dc != nullptr);
        logo.dispose_frame(1);
        EXPECT_EQ(nullptr, logo.saved_dc);
        EXPECT_EQ(c.left_behind, surface_pixel(logo, 4, 4));
        EXPECT_EQ(c.left_behind, surface_pixel(logo, 11, 11));
        EXPECT_EQ(kBlue, surface_pixel(logo, 3, 3));    // outside frame 1: untouched
        EXPECT_EQ(kBlue, surface_pixel(logo, 12, 12));
    }
}

TEST_F(LogoDrawing, EveryCycleStartsFromAClearedSurface) {
    // Frame 0 covers only the top left quarter.
    ASSERT_TRUE(load_bytes(logo, concat({gif_screen("89a", 16, 16, test_palette()),
                                         gif_control(10, 0), gif_filled(0, 0, 8, 8, red),
                                         gif_control(10, 0), gif_filled(0, 0, 16, 16, green),
                                         gif_trailer()})));
    logo.draw_frame(0);
    logo.draw_frame(1);
    EXPECT_EQ(kGreen, surface_pixel(logo, 12, 12));
    logo.draw_frame(0);
    EXPECT_EQ(kRed, surface_pixel(logo, 2, 2));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), surface_pixel(logo, 12, 12));
}

TEST_F(LogoDrawing, PaintCopiesTheSurfaceToTheControl) {
    ASSERT_TRUE(load_bytes(logo, concat({gif_screen("89a", 8, 8, test_palette()),
                                         gif_filled(0, 0, 8, 8, red), gif_trailer()})));
    ASSERT_TRUE(logo.play());
    UpdateWindow(area.control);  // the paint the drawing asked for

    HDC dc = GetDC(area.control);
    const COLORREF shown = GetPixel(dc, 3, 3);
    ReleaseDC(area.control, dc);
    EXPECT_EQ(kRed, shown);
    RECT pending = {};
    EXPECT_FALSE(GetUpdateRect(area.control, &pending, FALSE));
}

TEST_F(LogoDrawing, PaintBeforeALoadIsHandledAndLeavesNothingPending) {
    InvalidateRect(area.control, nullptr, FALSE);
    EXPECT_EQ(0, SendMessageA(area.control, WM_PAINT, 0, 0));
    RECT pending = {};
    EXPECT_FALSE(GetUpdateRect(area.control, &pending, FALSE));
    EXPECT_EQ(0, SendMessageA(area.control, WM_PAINT, 0, 0));
}

}  // namespace
