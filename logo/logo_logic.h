// The logo control's small decisions, kept apart from the window system so
// that they can be checked on any platform: how long a frame stays, when a
// picture counts as an animation, which frame follows, and when a window's
// subclass may be taken off.
#pragma once

#include <cstddef>
#include <cstdint>

// Wait after a frame is drawn, in milliseconds, for a frame `delay` in
// hundredths of a second. Delays under 5 (the 0 many encoders write among
// them) and a frame without a graphic control extension (kGifNoDelay) wait
// 100 ms, the pace browsers settled on.
uint32_t frame_wait_ms(uint32_t delay);

// A GIF stream that gave more than one decoded frame plays on a thread;
// anything else is drawn once as a still picture.
bool is_animation(bool is_gif, size_t frame_count);

// The frame after `current`; the animation repeats without end.
uint32_t next_frame_index(uint32_t current, size_t frame_count);

// Taking a subclass off the window without force is only safe while its
// procedure is the window's current one: a subclass installed on top would
// lose its link to the rest of the chain.
bool may_detach(bool force, bool procedure_is_ours);

// After the window's last message: the procedure that was replaced goes back
// only when there is a real one and the window's procedure is still ours, as
// it was before the message was passed on (never over another subclass).
bool restore_after_final_message(bool previous_is_default, bool still_ours_now,
                                 bool unchanged_by_message);
