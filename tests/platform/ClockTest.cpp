// FILETIME and SYSTEMTIME arithmetic at known points, and host times as FILETIMEs.
#include <gtest/gtest.h>

#include "platform/Clock.h"

using namespace platform;

namespace {

std::string Text(const SYSTEMTIME& st) {
    char buf[64];
    snprintf(buf, sizeof buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u dow %u", st.wYear, st.wMonth,
             st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, st.wDayOfWeek);
    return buf;
}

std::string Text(uint64_t ticks) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(U64ToFileTime(ticks), st))
        return "invalid";
    return Text(st);
}

}  // namespace

TEST(Clock, KnownFileTimes) {
    EXPECT_EQ(Text(0), "1601-01-01 00:00:00.000 dow 1");
    EXPECT_EQ(Text(116444736000000000ull), "1970-01-01 00:00:00.000 dow 4");
    // A low half with its top bit set.
    EXPECT_EQ(Text(0x01D0000080000000ull), "2014-11-14 11:45:34.122 dow 5");
    EXPECT_EQ(Text(125963423999990000ull), "2000-02-29 23:59:59.999 dow 2");
    EXPECT_EQ(Text(2650466880000000000ull), "9999-12-31 00:00:00.000 dow 5");
    EXPECT_EQ(Text(0x7FFFFFFFFFFFFFFFull), "invalid");  // in the year 30828
    EXPECT_EQ(Text(0x8000000000000000ull), "invalid");
}

TEST(Clock, SystemTimeRoundTrip) {
    for (uint64_t ticks : {0ull, 116444736000000000ull, 0x01D0000080000000ull - 38030ull,
                           125963423999990000ull, 2650466880000000000ull}) {
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(U64ToFileTime(ticks), st));
        FILETIME back;
        ASSERT_TRUE(SystemTimeToFileTime(st, back));
        EXPECT_EQ(FileTimeToU64(back), ticks - ticks % 10000) << ticks;
    }
    // Dates that are no dates, and the leap day of a century year that has one
    // (year, month, day of the week, day, hour).
    const std::pair<SYSTEMTIME, bool> dates[] = {{{1900, 2, 0, 29}, false},
                                                 {{2000, 2, 0, 29}, true},
                                                 {{1600, 12, 0, 31}, false},
                                                 {{2020, 13, 0, 31}, false},
                                                 {{2020, 6, 0, 31, 24}, false}};
    for (const auto& [st, valid] : dates) {
        FILETIME ft;
        EXPECT_EQ(SystemTimeToFileTime(st, ft), valid) << Text(st);
    }
}

TEST(Clock, FromUnixAndNow) {
    EXPECT_EQ(FileTimeToU64(FileTimeFromUnix({0, 0})), 116444736000000000ull);
    EXPECT_EQ(FileTimeToU64(FileTimeFromUnix({1, 999999999})), 116444736019999999ull);
    EXPECT_EQ(FileTimeToU64(FileTimeFromUnix({-11644473600, 0})), 0u);
    EXPECT_EQ(FileTimeToU64(FileTimeFromUnix({-20000000000, 0})), 0u);

    struct timespec before, after;
    clock_gettime(CLOCK_REALTIME, &before);
    const uint64_t now = FileTimeToU64(GetSystemTimeAsFileTime());
    clock_gettime(CLOCK_REALTIME, &after);
    EXPECT_LE(FileTimeToU64(FileTimeFromUnix(before)), now);
    EXPECT_GE(FileTimeToU64(FileTimeFromUnix(after)), now);
    const SYSTEMTIME st = GetSystemTime();
    EXPECT_GE(st.wYear, 2024);
}
