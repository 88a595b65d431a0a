#include "logo/logo_logic.h"

namespace {

constexpr uint32_t kShortestDelay = 5;       // hundredths of a second
constexpr uint32_t kDefaultWaitMs = 100;
constexpr uint32_t kMsPerDelayUnit = 10;
constexpr uint32_t kLongestDelay = 0xFFFF;   // the field is 16 bits wide

}  // namespace

uint32_t frame_wait_ms(uint32_t delay) {
    // Only the "no extension" marker (kGifNoDelay) exceeds the 16-bit field;
    // taken as a delay, its product with 10 would be about 49 days.
    if (delay < kShortestDelay || delay > kLongestDelay) return kDefaultWaitMs;
    return delay * kMsPerDelayUnit;
}

bool is_animation(bool is_gif, size_t frame_count) {
    return is_gif && frame_count > 1;
}

uint32_t next_frame_index(uint32_t current, size_t frame_count) {
    const uint32_t next = current + 1;
    return next >= frame_count ? 0 : next;
}

bool may_detach(bool force, bool procedure_is_ours) {
    return force || procedure_is_ours;
}

bool restore_after_final_message(bool previous_is_default, bool still_ours_now,
                                 bool unchanged_by_message) {
    return !previous_is_default && still_ours_now && unchanged_by_message;
}
