// The copy's progress callback and the bar position.
#include "ui/copy_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "setup/setup_state.h"
#include "tests/native/setup/state_fixture.h"

namespace {

struct PositionRow {
    uint32_t done;
    uint32_t total;
    uint32_t position;
};

TEST(ProgressPosition, WholePercentRoundedDownWithinTheRange) {
    const PositionRow rows[] = {
        {0, 1426016, 0},
        {14260, 1426016, 0},
        {14261, 1426016, 1},
        {713008, 1426016, 50},
        {1426016, 1426016, 100},
        {42949673, 100000000, 42},     // the product passes 32 bits
        {99999999, 100000000, 99},
        {4000000000u, 4294967295u, 93},
        {4294967295u, 4294967295u, 100},
        {0, 0, 0},                     // no total, nothing written
        {16384, 0, 100},               // no total, something written
        {2000, 1000, 100},             // the total wrapped past 32 bits
    };
    for (const PositionRow& row : rows)
        EXPECT_EQ(progress_position(row.done, row.total), row.position) << row.done << " / " << row.total;
}

class RecordingView : public ProgressView {
public:
    std::vector<uint32_t> positions;
    int pumps = 0;
    void set_progress_position(uint32_t percent) override { positions.push_back(percent); }
    int32_t process_pending_messages() override {
        ++pumps;
        return 0;
    }
};

class ReportCopyProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_setup_state();
        set_progress_view(&view);
    }
    void TearDown() override {
        set_progress_view(nullptr);
        reset_setup_state();
    }
    RecordingView view;
};

TEST_F(ReportCopyProgressTest, CountsMovesTheBarAndPumps) {
    setup_state.bytes_total = 40000;
    uint32_t chunks[] = {16384, 16384, 7232};
    for (uint32_t& chunk : chunks) EXPECT_EQ(report_copy_progress(&chunk), 0);
    EXPECT_EQ(setup_state.bytes_done, 40000u);
    EXPECT_EQ(view.positions, (std::vector<uint32_t>{40, 81, 100}));
    EXPECT_EQ(view.pumps, 3);
}

TEST_F(ReportCopyProgressTest, LargeTotalRisesSteadilyToFull) {
    setup_state.bytes_total = 100u * 1000 * 1000;
    uint32_t chunk = 16384;
    while (setup_state.bytes_done + chunk <= setup_state.bytes_total) report_copy_progress(&chunk);
    uint32_t last = setup_state.bytes_total - setup_state.bytes_done;
    report_copy_progress(&last);
    EXPECT_TRUE(std::is_sorted(view.positions.begin(), view.positions.end()));
    EXPECT_EQ(view.positions.back(), 100u);
    // Every percentage appears on the way: no jump back to a wrapped value.
    for (uint32_t percent = 0; percent <= 100; ++percent)
        EXPECT_TRUE(std::count(view.positions.begin(), view.positions.end(), percent) > 0) << percent;
}

TEST_F(ReportCopyProgressTest, ZeroTotalNeverDivides) {
    uint32_t chunk = 10;
    report_copy_progress(&chunk);
    EXPECT_EQ(view.positions, std::vector<uint32_t>{100});
}

}  // namespace
