// The logo control's decisions: frame waits, what counts as an animation,
// the frame order, and when a subclass may come off its window.
#include <gtest/gtest.h>

#include "logo/gif_parser.h"
#include "logo/logo_logic.h"

namespace {

struct WaitCase {
    uint32_t delay;
    uint32_t wait_ms;
};

TEST(LogoFrameWait, FollowsTheDelayFromFiveHundredthsOn) {
    const WaitCase cases[] = {
        {0, 100},            // encoders' "as fast as possible"
        {1, 100},
        {4, 100},
        {5, 50},
        {10, 100},           // the logo's frames
        {250, 2500},
        {0xFFFF, 655350},    // the longest the field holds
        {kGifNoDelay, 100},  // no graphic control extension
        {0x10000, 100},      // nothing a 16-bit field gives: treated alike
    };
    for (const WaitCase& c : cases) {
        EXPECT_EQ(c.wait_ms, frame_wait_ms(c.delay)) << "delay " << c.delay;
    }
}

TEST(LogoAnimationRule, NeedsAGifWithMoreThanOneFrame) {
    EXPECT_FALSE(is_animation(false, 0));
    EXPECT_FALSE(is_animation(false, 5));  // frames left from elsewhere never play a non-GIF
    EXPECT_FALSE(is_animation(true, 0));
    EXPECT_FALSE(is_animation(true, 1));
    EXPECT_TRUE(is_animation(true, 2));
    EXPECT_TRUE(is_animation(true, 29));
}

TEST(LogoAnimationRule, FramesRepeatWithoutEnd) {
    EXPECT_EQ(1u, next_frame_index(0, 29));
    EXPECT_EQ(28u, next_frame_index(27, 29));
    EXPECT_EQ(0u, next_frame_index(28, 29));
    EXPECT_EQ(0u, next_frame_index(1, 2));
    // An index left past the end (a shorter reload) starts over.
    EXPECT_EQ(0u, next_frame_index(40, 29));
}

TEST(LogoSubclassRule, DetachWithoutForceOnlyFromTheTopOfTheChain) {
    EXPECT_TRUE(may_detach(false, true));
    EXPECT_FALSE(may_detach(false, false));  // another subclass sits on top
    EXPECT_TRUE(may_detach(true, true));
    EXPECT_TRUE(may_detach(true, false));
}

TEST(LogoSubclassRule, FinalMessageRestoresOnlyARealProcedureUnderOurs) {
    struct Case {
        bool previous_is_default, still_ours, unchanged, restore;
    };
    const Case cases[] = {
        {false, true, true, true},
        {true, true, true, false},    // nothing worth putting back
        {false, false, true, false},  // another subclass is on top
        {false, true, false, false},  // the procedure changed while the message ran
        {false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.restore, restore_after_final_message(c.previous_is_default, c.still_ours,
                                                         c.unchanged));
    }
}

}  // namespace
