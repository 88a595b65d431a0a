#include "package/file_time.h"

namespace {

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t year, int month, int day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t year_of_era = year - era * 400;
    const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void civil_from_days(int64_t days, int* year, int* month, int* day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t day_of_era = days - era * 146097;
    const int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const int64_t mp = (5 * day_of_year + 2) / 153;
    *day = int(day_of_year - (153 * mp + 2) / 5 + 1);
    *month = int(mp < 10 ? mp + 3 : mp - 9);
    *year = int(year_of_era + era * 400 + (*month <= 2));
}

constexpr int kDosEpochYear = 1980;
constexpr int kDosLastYear = 2107;

}  // namespace

bool calendar_to_filetime(const CalendarTime& c, FileTime* out) {
    if (c.year < 1601 || c.year > 30827) return false;
    if (c.month < 1 || c.month > 12) return false;
    if (c.day < 1 || c.day > days_in_month(c.year, c.month)) return false;
    if (c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59)
        return false;
    const int64_t days = days_from_civil(c.year, c.month, c.day);
    const int64_t seconds = days * 86400 + c.hour * 3600 + c.minute * 60 + c.second;
    *out = filetime_from_ticks(uint64_t(int64_t(kUnixEpochTicks) + seconds * int64_t(kTicksPerSecond)));
    return true;
}

FileTime unix_seconds_to_filetime(uint32_t seconds) {
    return filetime_from_ticks(kUnixEpochTicks + uint64_t(seconds) * kTicksPerSecond);
}

bool filetime_to_unix(FileTime time, int64_t* seconds, uint32_t* nanoseconds) {
    const uint64_t ticks = filetime_ticks(time);
    if (ticks < kUnixEpochTicks) {
        *seconds = 0;
        *nanoseconds = 0;
        return false;
    }
    const uint64_t since_epoch = ticks - kUnixEpochTicks;
    *seconds = int64_t(since_epoch / kTicksPerSecond);
    *nanoseconds = uint32_t(since_epoch % kTicksPerSecond) * 100;
    return true;
}

FileTime dos_epoch_filetime() {
    FileTime time{};
    calendar_to_filetime(CalendarTime{kDosEpochYear, 1, 1, 0, 0, 0}, &time);
    return time;
}

bool dos_datetime_to_filetime(uint32_t dos_datetime, FileTime* out) {
    const uint32_t time = dos_datetime & 0xFFFF;
    const uint32_t date = dos_datetime >> 16;
    CalendarTime c;
    c.second = int(time & 0x1F) * 2;
    c.minute = int((time >> 5) & 0x3F);
    c.hour = int(time >> 11);
    c.day = int(date & 0x1F);
    c.month = int((date >> 5) & 0x0F);
    c.year = kDosEpochYear + int(date >> 9);
    if (calendar_to_filetime(c, out)) return true;
    *out = dos_epoch_filetime();
    return false;
}

uint32_t unix_seconds_to_dos_datetime(int64_t seconds) {
    int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    int64_t rest = seconds - days * 86400;
    int year = 0, month = 0, day = 0;
    civil_from_days(days, &year, &month, &day);
    if (year < kDosEpochYear) return (1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
    if (year > kDosLastYear) return 0xFF9FBF7Du;             // 2107-12-31 23:59:58
    const uint32_t date = uint32_t(year - kDosEpochYear) << 9 | uint32_t(month) << 5 | uint32_t(day);
    const uint32_t time =
        uint32_t(rest / 3600) << 11 | uint32_t(rest / 60 % 60) << 5 | uint32_t(rest % 60 / 2);
    return date << 16 | time;
}
