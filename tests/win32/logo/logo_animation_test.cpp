// The animation thread: starting, stopping, resuming, the window's end, and
// a thread that does not answer at once.
#include <gtest/gtest.h>

#include "logo_fixture.h"
#include "picture_writer.h"
#include "test_colours.h"

namespace {

// Three 16 x 16 frames, each 100 ms: blue everywhere; a red 8 x 8 square at
// the top left with disposal `disposal`; a green square at the bottom right.
Bytes three_frame_gif(int disposal) {
    return concat({gif_screen("89a", 16, 16, test_palette()),
                   gif_control(10, 0), gif_filled(0, 0, 16, 16, blue),
                   gif_control(10, disposal), gif_filled(0, 0, 8, 8, red),
                   gif_control(10, 0), gif_filled(8, 8, 8, 8, green), gif_trailer()});
}

class LogoAnimation : public AttachedLogo<WatchedLogo> {
protected:
    void SetUp() override {
        AttachedLogo::SetUp();
        logo.probe = {2, 2};  // inside frame 1
    }
};

TEST_F(LogoAnimation, PlayBeforeALoadDoesNothing) {
    EXPECT_FALSE(logo.play());
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_EQ(nullptr, logo.surface_dc);
}

TEST_F(LogoAnimation, FramesPlayInOrderOnTheThreadUntilStopped) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    EXPECT_FALSE(logo.play());  // false: the thread shows it
    ASSERT_NE(nullptr, logo.thread);
    ASSERT_TRUE(logo.wait_for_frame(0, 2));  // one full cycle and the start of the next

    HANDLE thread = duplicate_thread(logo.thread);
    logo.stop();
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_TRUE(has_ended(thread));
    CloseHandle(thread);
    EXPECT_FALSE(logo.stop_requested);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(logo.stop_event, 0));  // ready for a restart

    ASSERT_GE(logo.shown.size(), 4u);
    const uint32_t order[] = {0, 1, 2, 0};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(order[i], logo.shown[i].index) << i;
    EXPECT_EQ(kBlue, logo.shown[0].probe);
    EXPECT_EQ(kRed, logo.shown[1].probe);
    EXPECT_EQ(kRed, logo.shown[2].probe);   // disposal 0 leaves frame 1 in place
    EXPECT_EQ(kBlue, logo.shown[3].probe);  // frame 0 starts afresh
}

TEST_F(LogoAnimation, PlayWhileTheThreadRunsStartsNoOther) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    logo.play();
    const HANDLE first = logo.thread;
    ASSERT_NE(nullptr, first);
    EXPECT_FALSE(logo.play());
    EXPECT_EQ(first, logo.thread);
    logo.stop();
}

TEST_F(LogoAnimation, NoThreadWithoutTheStopEvent) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    CloseHandle(logo.stop_event);
    logo.stop_event = nullptr;  // as when the event could not be made
    EXPECT_FALSE(logo.play());
    EXPECT_EQ(nullptr, logo.thread);
    logo.stop();  // still safe
}

TEST_F(LogoAnimation, RestartResumesAtTheStoppedFrameAfterItsDisposal) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(3)));
    logo.hold_at = 1;
    logo.play();
    ASSERT_TRUE(logo.wait_for_frame(1));
    logo.stop();

    // Stopped on frame 1: it is still on the surface, its disposal pending.
    EXPECT_EQ(1u, logo.current_frame);
    EXPECT_EQ(kRed, surface_pixel(logo, 2, 2));
    EXPECT_NE(nullptr, logo.saved_dc);
    const size_t before_restart = logo.shown.size();

    logo.play();
    ASSERT_TRUE(logo.wait_for_frame(2));
    logo.stop();

    ASSERT_GE(logo.shown.size(), before_restart + 2);
    EXPECT_EQ(1u, logo.shown[before_restart].index);  // resumed where it stopped
    EXPECT_EQ(kRed, logo.shown[before_restart].probe);
    // After frame 1's restore-to-previous, frame 2 finds the blue of frame 0
    // under it: the pending disposal was completed first, not lost.
    EXPECT_EQ(2u, logo.shown[before_restart + 1].index);
    EXPECT_EQ(kBlue, logo.shown[before_restart + 1].probe);
}

TEST_F(LogoAnimation, DestroyingTheWindowStopsTheThreadAndGivesItsProcedureBack) {
    const WNDPROC static_procedure = logo.previous_procedure;
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    logo.play();
    ASSERT_NE(nullptr, logo.thread);
    ASSERT_TRUE(logo.wait_for_frame(0));
    HANDLE thread = duplicate_thread(logo.thread);

    DestroyWindow(area.control);

    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_TRUE(has_ended(thread));
    CloseHandle(thread);
    EXPECT_EQ(1, logo.final_messages);
    EXPECT_EQ(area.control, logo.final_window);
    EXPECT_EQ(static_procedure, logo.procedure_at_final);
    EXPECT_EQ(nullptr, logo.window);
    // The pictures stay until the next unload.
    EXPECT_EQ(3u, logo.frames.size());
}

TEST_F(LogoAnimation, StopWaitsForAThreadThatTakesLongerThanFiveSeconds) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    logo.slow_once_ms = 6500;
    logo.play();
    ASSERT_TRUE(logo.wait_for_frame(0));
    HANDLE thread = duplicate_thread(logo.thread);

    logo.stop();
    // Only after the slow frame: nothing was freed under the thread.
    EXPECT_TRUE(logo.slow_frame_done);
    EXPECT_TRUE(has_ended(thread));
    CloseHandle(thread);
    EXPECT_EQ(nullptr, logo.thread);
    logo.unload();
    EXPECT_TRUE(logo.frames.empty());
}

TEST_F(LogoAnimation, UnloadStopsTheThreadAndStartsOver) {
    ASSERT_TRUE(load_bytes(logo, three_frame_gif(0)));
    logo.play();
    ASSERT_TRUE(logo.wait_for_frame(2));
    HANDLE thread = duplicate_thread(logo.thread);
    logo.unload();
    EXPECT_TRUE(has_ended(thread));
    CloseHandle(thread);
    EXPECT_EQ(nullptr, logo.thread);
    EXPECT_EQ(0u, logo.current_frame);
    EXPECT_FALSE(logo.play());  // nothing loaded any more
    EXPECT_EQ(nullptr, logo.thread);
}

TEST_F(LogoAnimation, TheSetupLogoPlaysAllItsFramesAndRepeats) {
    ASSERT_TRUE(logo.load(MAKEINTRESOURCEA(506), "GIF"));
    EXPECT_FALSE(logo.play());
    ASSERT_NE(nullptr, logo.thread);
    ASSERT_TRUE(logo.wait_for_frame(0, 2));
    logo.stop();
    ASSERT_GE(logo.shown.size(), 30u);
    for (uint32_t i = 0; i < 30; ++i) EXPECT_EQ(i % 29, logo.shown[i].index);
    // Something was drawn: the surface no longer holds only the face colour.
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), logo.shown[0].probe);
}

}  // namespace
