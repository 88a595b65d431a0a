// The copy's progress callback: counts the bytes written, moves the bar and
// keeps the progress dialog responsive. The callback gets only a byte count,
// so the view it drives is registered beforehand.
#pragma once

#include <cstdint>

// The window side of the progress dialog that the callback drives.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    // Moves the bar (range 0 to 100) to `percent`.
    virtual void set_progress_position(uint32_t percent) = 0;
    // Dispatches every waiting message and returns 0 once none is left; never waits.
    virtual int32_t process_pending_messages() = 0;
};

// The view that report_copy_progress drives; null for none.
void set_progress_view(ProgressView* view);

// The bar position for `done` of `total` bytes, a whole percentage rounded
// down: 0 to 100 whatever the values (no total: 0, or 100 once something
// was written; more done than the total: 100).
uint32_t progress_position(uint32_t done, uint32_t total);

// The ProgressCallback of the copy: adds *count to bytes_done, moves the bar
// and runs the message pump. Returns the pump's result (0).
int32_t report_copy_progress(uint32_t* count);
