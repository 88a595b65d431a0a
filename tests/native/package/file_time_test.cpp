#include <gtest/gtest.h>

#include "package/file_time.h"

namespace {

uint64_t ticks_of(const CalendarTime& c) {
    FileTime time{};
    EXPECT_TRUE(calendar_to_filetime(c, &time));
    return filetime_ticks(time);
}

TEST(FileTime, UnixSecondsBecomeTheInstantSince1601) {
    EXPECT_EQ(filetime_ticks(unix_seconds_to_filetime(0)), kUnixEpochTicks);
    EXPECT_EQ(filetime_ticks(unix_seconds_to_filetime(1)), kUnixEpochTicks + kTicksPerSecond);
    // Unsigned: the largest count lies in 2106, not before 1970.
    EXPECT_EQ(filetime_ticks(unix_seconds_to_filetime(0xFFFFFFFFu)),
              ticks_of({2106, 2, 7, 6, 28, 15}));
    EXPECT_EQ(filetime_ticks(unix_seconds_to_filetime(1700000000)), ticks_of({2023, 11, 14, 22, 13, 20}));
}

TEST(FileTime, CalendarKnownValues) {
    EXPECT_EQ(ticks_of({1601, 1, 1, 0, 0, 0}), 0u);
    EXPECT_EQ(ticks_of({1970, 1, 1, 0, 0, 0}), kUnixEpochTicks);
    EXPECT_EQ(ticks_of({2000, 2, 29, 12, 0, 0}) - ticks_of({2000, 2, 28, 12, 0, 0}),
              86400 * kTicksPerSecond);
}

TEST(FileTime, UnixRoundTrip) {
    int64_t seconds = 0;
    uint32_t nanoseconds = 0;
    FileTime time = filetime_from_ticks(kUnixEpochTicks + 5 * kTicksPerSecond + 7);
    ASSERT_TRUE(filetime_to_unix(time, &seconds, &nanoseconds));
    EXPECT_EQ(seconds, 5);
    EXPECT_EQ(nanoseconds, 700u);
    EXPECT_FALSE(filetime_to_unix(filetime_from_ticks(kUnixEpochTicks - 1), &seconds, &nanoseconds));
    EXPECT_EQ(seconds, 0);
}

struct DosCase {
    uint32_t dos;
    bool valid;
    CalendarTime expected;
};

TEST(FileTime, DosDateTimeTable) {
    const DosCase cases[] = {
        // date 2023-11-14 (43<<9 | 11<<5 | 14), time 22:13:20 (22<<11 | 13<<5 | 10)
        {(43u << 9 | 11u << 5 | 14u) << 16 | (22u << 11 | 13u << 5 | 10u), true, {2023, 11, 14, 22, 13, 20}},
        {(0u << 9 | 1u << 5 | 1u) << 16, true, {1980, 1, 1, 0, 0, 0}},
        {(127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u), true, {2107, 12, 31, 23, 59, 58}},
        {(20u << 9 | 2u << 5 | 29u) << 16, true, {2000, 2, 29, 0, 0, 0}},
        // Invalid fields give the MS-DOS epoch.
        {0, false, {1980, 1, 1, 0, 0, 0}},                                        // day 0, month 0
        {(21u << 9 | 2u << 5 | 29u) << 16, false, {1980, 1, 1, 0, 0, 0}},       // 2001-02-29
        {(1u << 9 | 13u << 5 | 1u) << 16, false, {1980, 1, 1, 0, 0, 0}},        // month 13
        {(1u << 9 | 4u << 5 | 31u) << 16, false, {1980, 1, 1, 0, 0, 0}},        // 31 April
        {(1u << 9 | 1u << 5 | 1u) << 16 | (24u << 11), false, {1980, 1, 1, 0, 0, 0}},       // 24:00
        {(1u << 9 | 1u << 5 | 1u) << 16 | (60u << 5), false, {1980, 1, 1, 0, 0, 0}},        // minute 60
        {(1u << 9 | 1u << 5 | 1u) << 16 | 30u, false, {1980, 1, 1, 0, 0, 0}},               // second 60
    };
    for (const DosCase& c : cases) {
        SCOPED_TRACE(c.dos);
        FileTime time{};
        EXPECT_EQ(dos_datetime_to_filetime(c.dos, &time), c.valid);
        EXPECT_EQ(filetime_ticks(time), ticks_of(c.expected));
    }
}

TEST(FileTime, UnixToDosTable) {
    struct Case {
        int64_t seconds;
        uint32_t dos;
    } const cases[] = {
        {1700000000, (43u << 9 | 11u << 5 | 14u) << 16 | (22u << 11 | 13u << 5 | 10u)},
        {1700000001, (43u << 9 | 11u << 5 | 14u) << 16 | (22u << 11 | 13u << 5 | 10u)},  // odd second down
        {0, (1u << 5 | 1u) << 16},             // before 1980: the epoch
        {-86400, (1u << 5 | 1u) << 16},
        {int64_t(5000000000), 0xFF9FBF7Du},    // after 2107: the last value
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.seconds);
        EXPECT_EQ(unix_seconds_to_dos_datetime(c.seconds), c.dos);
    }
}

}  // namespace
