// File times as the package and the file systems exchange them: a count of
// 100-nanosecond intervals since 1601-01-01 00:00:00 UTC, low half first.
// Plain arithmetic, so the reader behaves the same on every system.
#pragma once

#include <cstdint>

struct FileTime {
    uint32_t low;
    uint32_t high;
};

inline uint64_t filetime_ticks(FileTime time) {
    return (uint64_t(time.high) << 32) | time.low;
}

inline FileTime filetime_from_ticks(uint64_t ticks) {
    return FileTime{uint32_t(ticks), uint32_t(ticks >> 32)};
}

inline bool operator==(FileTime a, FileTime b) { return a.low == b.low && a.high == b.high; }
inline bool operator!=(FileTime a, FileTime b) { return !(a == b); }

// Ticks between 1601-01-01 and 1970-01-01.
constexpr uint64_t kUnixEpochTicks = 116444736000000000ull;
constexpr uint64_t kTicksPerSecond = 10000000ull;

// A calendar date and time in UTC, whole seconds.
struct CalendarTime {
    int year;
    int month;   // 1-12
    int day;     // 1-31
    int hour;    // 0-23
    int minute;  // 0-59
    int second;  // 0-59
};

// False when a field is outside its range (month 13, 30 February, hour 24...).
bool calendar_to_filetime(const CalendarTime& calendar, FileTime* out);

// Seconds since 1970-01-01 00:00:00 UTC, taken as unsigned (up to early 2106).
FileTime unix_seconds_to_filetime(uint32_t seconds);

// The inverse, for file systems that keep Unix times; false when the instant
// lies before 1970 (the time is then clamped to the epoch).
bool filetime_to_unix(FileTime time, int64_t* seconds, uint32_t* nanoseconds);

// An MS-DOS date and time packed as one value, date in the high half.
// Same calendar values, no time-zone conversion. An invalid date or time
// (day 0, month 0 or above 12, a day past the month's end, hour above 23,
// minute above 59, seconds above 58) gives the MS-DOS epoch,
// 1980-01-01 00:00:00, and false.
bool dos_datetime_to_filetime(uint32_t dos_datetime, FileTime* out);

// The MS-DOS epoch, the value an invalid MS-DOS date-time stands for.
FileTime dos_epoch_filetime();

// For writers: the MS-DOS value of a Unix time (UTC calendar, even seconds
// rounded down); instants before 1980 give the MS-DOS epoch, after 2107 the
// last representable value.
uint32_t unix_seconds_to_dos_datetime(int64_t seconds);
