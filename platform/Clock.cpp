// The clock and the calendar arithmetic of FILETIMEs: 100 ns ticks since 1601-01-01 UTC on
// the proleptic Gregorian calendar. Pure arithmetic, no time zones.
#include "platform/Clock.h"

#include <cstdint>

namespace platform {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;
constexpr int64_t kTicksPerDay = kTicksPerSecond * 86400;
constexpr int64_t kUnixEpochTicks = 116444736000000000LL;  // 1970-01-01 as a FILETIME

// Day numbers of the proleptic Gregorian calendar, day 0 being 0000-01-01 (the calendar
// counted in 400-year eras of 146097 days, each era's years starting on 1 March).
constexpr int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + int64_t(doe) + 60;  // day 0 = 0000-01-01
}

constexpr int64_t kDaysFrom0000To1601 = DaysFromCivil(1601, 1, 1);

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
    z -= 60;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

bool IsLeap(unsigned y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

unsigned DaysInMonth(unsigned y, unsigned m) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

FILETIME GetSystemTimeAsFileTime() {
    struct timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    return FileTimeFromUnix(ts);
}

SYSTEMTIME GetSystemTime() {
    SYSTEMTIME st;
    FileTimeToSystemTime(GetSystemTimeAsFileTime(), st);
    return st;
}

bool FileTimeToSystemTime(const FILETIME& ft, SYSTEMTIME& st) {
    const uint64_t ticks = FileTimeToU64(ft);
    if (ticks > uint64_t(INT64_MAX))
        return false;
    const int64_t days = int64_t(ticks) / kTicksPerDay;
    const int64_t rest = int64_t(ticks) % kTicksPerDay;
    int64_t year;
    unsigned month, day;
    CivilFromDays(days + kDaysFrom0000To1601, year, month, day);
    if (year > 30827)
        return false;
    st.wYear = uint16_t(year);
    st.wMonth = uint16_t(month);
    st.wDay = uint16_t(day);
    st.wDayOfWeek = uint16_t((days + 1) % 7);  // 1601-01-01 was a Monday
    st.wHour = uint16_t(rest / (kTicksPerSecond * 3600));
    st.wMinute = uint16_t(rest / (kTicksPerSecond * 60) % 60);
    st.wSecond = uint16_t(rest / kTicksPerSecond % 60);
    st.wMilliseconds = uint16_t(rest / 10000 % 1000);
    return true;
}

bool SystemTimeToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 ||
        st.wSecond > 59 || st.wMilliseconds > 999) {
        return false;
    }
    const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - kDaysFrom0000To1601;
    const int64_t ticks =
        days * kTicksPerDay +
        (int64_t(st.wHour) * 3600 + st.wMinute * 60 + st.wSecond) * kTicksPerSecond +
        int64_t(st.wMilliseconds) * 10000;
    ft = U64ToFileTime(uint64_t(ticks));
    return true;
}

FILETIME FileTimeFromUnix(const struct timespec& ts) {
    // Times before 1601 have no FILETIME; they are given as 0.
    const int64_t minSeconds = -kUnixEpochTicks / kTicksPerSecond;
    if (ts.tv_sec < minSeconds)
        return FILETIME();
    const int64_t ticks =
        kUnixEpochTicks + int64_t(ts.tv_sec) * kTicksPerSecond + int64_t(ts.tv_nsec) / 100;
    if (ticks < 0)
        return FILETIME();
    return U64ToFileTime(uint64_t(ticks));
}

}  // namespace platform
