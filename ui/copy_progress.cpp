#include "ui/copy_progress.h"

#include "setup/setup_state.h"

namespace {

constexpr uint32_t kFullBar = 100;

ProgressView* progress_view = nullptr;

}  // namespace

void set_progress_view(ProgressView* view) { progress_view = view; }

uint32_t progress_position(uint32_t done, uint32_t total) {
    if (total == 0) return done > 0 ? kFullBar : 0;
    if (done >= total) return kFullBar;
    // 64-bit product: 32 bits overflow from 42,949,673 bytes on.
    return uint32_t(uint64_t(done) * kFullBar / total);
}

int32_t report_copy_progress(uint32_t* count) {
    if (count) setup_state.bytes_done += *count;
    if (!progress_view) return 0;
    progress_view->set_progress_position(progress_position(setup_state.bytes_done, setup_state.bytes_total));
    return progress_view->process_pending_messages();
}
