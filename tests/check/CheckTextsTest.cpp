// The check's texts: times one hour after UTC with the "Indeterminate" rule, size and
// remaining-data brackets at their exclusive bounds, attribute texts, the path lines and
// the progress dialog's path, and the progress step.
#include <gtest/gtest.h>

#include "check/CheckRun.h"
#include "check/CheckTexts.h"
#include "check/ProgressScale.h"

namespace {

FILETIME FromHalves(uint32_t high, uint32_t low) {
    FILETIME ft;
    ft.dwHighDateTime = high;
    ft.dwLowDateTime = low;
    return ft;
}

}  // namespace

TEST(FormatTimeText, MovesOneHourLaterAcrossDayAndMonthEnds) {
    // 23:30:05 UTC on 6 March 2004.
    EXPECT_EQ(FormatTimeText(FromHalves(29623250u, 4098768000u), true), "00:30:05   7.3.2004");
    // 23:59:59 UTC on 31 January 2005.
    EXPECT_EQ(FormatTimeText(FromHalves(29689840u, 4166527360u), true), "00:59:59   1.2.2005");
    EXPECT_EQ(FormatTimeText(FromHalves(29689840u, 4166527360u), false), "00:59:59   1.2.2005");
}

TEST(FormatTimeText, YearsBefore1970AreIndeterminateOnlyWhenTested) {
    EXPECT_EQ(FormatTimeText(FILETIME(), true), "Indeterminate");
    EXPECT_EQ(FormatTimeText(FILETIME(), false), "01:00:00   1.1.1601");
    // 22:00 UTC on 31 December 1969 shows as 23:00 the same day; 23:00 UTC shows in 1970.
    EXPECT_EQ(FormatTimeText(FromHalves(27111886u, 297119744u), true), "Indeterminate");
    EXPECT_EQ(FormatTimeText(FromHalves(27111894u, 1937381376u), true), "00:00:00   1.1.1970");
    // Past any calendar date (and past the hour's room at the top of the range).
    EXPECT_EQ(FormatTimeText(FromHalves(0xFFFFFFFFu, 0xFFFFFFFFu), false), "Indeterminate");
}

TEST(FormatTimeText, SystemTimeForm) {
    SYSTEMTIME st;
    st.wYear = 2024;
    st.wMonth = 12;
    st.wDay = 31;
    st.wHour = 23;
    st.wMinute = 5;
    st.wSecond = 9;
    EXPECT_EQ(FormatTimeText(st), "00:05:09   1.1.2025");
    st.wHour = 9;
    EXPECT_EQ(FormatTimeText(st), "10:05:09   31.12.2024");
}

TEST(FormatSizeText, BracketsAreExclusiveAtTheirBounds) {
    EXPECT_EQ(FormatSizeText(0), "0 Bytes. ");
    EXPECT_EQ(FormatSizeText(512), "512 Bytes. ");
    EXPECT_EQ(FormatSizeText(1024), "1024 Bytes. ");
    EXPECT_EQ(FormatSizeText(1025), "1025 Bytes.  [1.00 KB].");
    EXPECT_EQ(FormatSizeText(2048), "2048 Bytes.  [2.00 KB].");
    EXPECT_EQ(FormatSizeText(1048576), "1048576 Bytes. ");
    EXPECT_EQ(FormatSizeText(1048577), "1048577 Bytes.  [1.00 MB].");
    EXPECT_EQ(FormatSizeText(1073741824), "1073741824 Bytes. ");
    EXPECT_EQ(FormatSizeText(4294967295.0), "4294967295 Bytes.  [4.00 GB].");
}

TEST(RemainingDataText, BracketsAndTheZeroText) {
    EXPECT_EQ(RemainingDataText(0.5), "0 bytes.");
    EXPECT_EQ(RemainingDataText(-64000), "0 bytes.");
    EXPECT_EQ(RemainingDataText(1), "1 bytes.");
    EXPECT_EQ(RemainingDataText(1024), "1024 bytes.");
    EXPECT_EQ(RemainingDataText(1025), "1025 bytes. [1.00 KB]");
    EXPECT_EQ(RemainingDataText(1048575), "1048575 bytes. [1024.00 KB]");
    EXPECT_EQ(RemainingDataText(1048576), "1048576 bytes.");
    EXPECT_EQ(RemainingDataText(1048577), "1048577 bytes. [1.00 MB]");
    EXPECT_EQ(RemainingDataText(1073741824), "1073741824 bytes.");
    EXPECT_EQ(RemainingDataText(1073741825), "1073741825 bytes. [1.00 GB]");
}

TEST(AttributeTexts, CodesAndWords) {
    EXPECT_EQ(AttributeCodeText(0x20), "Archive.");
    EXPECT_EQ(AttributeCodeText(0x21), "Read only, Archive.");
    EXPECT_EQ(AttributeCodeText(0x27), "System, Read only, Archive, Hidden.");
    EXPECT_EQ(AttributeCodeText('d'), "Compressed");
    EXPECT_EQ(AttributeCodeText('k'), "Compressed, Archive, Hidden, Read only.");
    EXPECT_EQ(AttributeCodeText('l'), "Encrypted");
    EXPECT_EQ(AttributeCodeText('s'), "Encrypted, Archive, Hidden, Read only.");
    EXPECT_EQ(AttributeCodeText(0x08), "");
    EXPECT_EQ(AttributeCodeText(0x80), "");
    EXPECT_EQ(AttributeCodeText(0x10), "");

    EXPECT_EQ(AttributeWordText(0x07), "System, Hidden, Read only.");
    EXPECT_EQ(AttributeWordText(0x20), "Archive.");
    EXPECT_EQ(AttributeWordText(0x800), "Compressed");
    EXPECT_EQ(AttributeWordText(0x2800), "Compressed");
    EXPECT_EQ(AttributeWordText(0x2823), "Compressed, Archive, Hidden, Read only.");
    EXPECT_EQ(AttributeWordText(0x6001), "Encrypted, Read only.");
    // Only the compressed and encrypted words match with the not-content-indexed bit.
    EXPECT_EQ(AttributeWordText(0x2020), "");
    EXPECT_EQ(AttributeWordText(0x2001), "");
    EXPECT_EQ(AttributeWordText(0x80), "");
    EXPECT_EQ(AttributeWordText(0x10), "");
    EXPECT_EQ(AttributeWordText(0x804), "");
}

TEST(SplitPathLines, NinetyTwoCharactersALine) {
    const std::string p92(92, 'a'), b92(92, 'b');
    struct Case {
        std::string path, l1, l2, l3;
    };
    const Case cases[] = {
        {p92, p92, "", ""},
        {p92 + "b", p92, "b", ""},
        {p92 + b92 + "c", p92, b92, "c"},
        // The third line takes the rest, however long.
        {std::string(400, 'x'), std::string(92, 'x'), std::string(92, 'x'), std::string(216, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.size());
        std::string l1, l2, l3;
        SplitPathLines(c.path, l1, l2, l3);
        EXPECT_EQ(l1, c.l1);
        EXPECT_EQ(l2, c.l2);
        EXPECT_EQ(l3, c.l3);
    }
}

TEST(ProgressPathText, LongPathsKeepTheirStartAndEnd) {
    const std::string p120 = "C:\\" + std::string(117, 'x');
    EXPECT_EQ(ProgressPathText(p120), p120);
    std::string p121 = "C:\\";
    for (int i = 0; i < 118; ++i) p121 += char('a' + i % 26);
    const std::string shown = ProgressPathText(p121);
    EXPECT_EQ(shown, "C:\\~..." + p121.substr(8));
    EXPECT_EQ(shown.size(), 120u);
}

TEST(ProgressStep, ShareOfTheBarPer64000Bytes) {
    EXPECT_EQ(CheckRun::ProgressStep(1073741824.0), 3);  // 3.87 truncated
    EXPECT_EQ(CheckRun::ProgressStep(6400000.0), 650);   // a hundredth of the bar
    EXPECT_EQ(CheckRun::ProgressStep(64000.0), 65000);
    EXPECT_EQ(CheckRun::ProgressStep(1000.0), 65000);  // never past the bar's end
    EXPECT_EQ(CheckRun::ProgressStep(0.0), 65000);     // no division by zero
    EXPECT_EQ(CheckRun::ProgressStep(4160000000.0), 1);
    EXPECT_EQ(CheckRun::ProgressStep(4170000000.0), 0);  // 0.998 truncated
}

TEST(ProgressStep, AShareBelowOneUnitAddsUpItsFractions) {
    // From one unit on, every step moves the bar by the share truncated.
    EXPECT_EQ(CheckBarAmount(CheckBarShare(200000.0), 0), 20800);
    EXPECT_EQ(CheckBarAmount(1.99f, 7), 1);
    EXPECT_EQ(CheckBarAmount(CheckBarShare(1000.0), 0), 65000);
    // Below, the amounts follow the shares added up: 0.64, 1.28, 1.92, 2.56, 3.2.
    const float share = CheckBarShare(6500000000.0);
    EXPECT_EQ(share, 0.64f);
    std::vector<int> amounts;
    for (int k = 0; k < 5; ++k) amounts.push_back(CheckBarAmount(share, k));
    EXPECT_EQ(amounts, (std::vector<int>{0, 1, 0, 1, 1}));
    // Over a terabyte's 15,625,000 steps the bar still reaches its end, to within a unit.
    const float tiny = CheckBarShare(1e12);
    long long sum = 0;
    for (long long k = 0; k < 15625000; ++k) sum += CheckBarAmount(tiny, double(k));
    EXPECT_GE(sum, 64999);
    EXPECT_LE(sum, 65000);
    // Nothing moves for a total or a count that is no number.
    EXPECT_EQ(CheckBarAmount(CheckBarShare(1.0 / 0.0), 3), 0);
    EXPECT_EQ(CheckBarAmount(0.5f, 0.0 / 0.0), 0);
    EXPECT_EQ(CheckBarAmount(0.5f, -1), 0);
}
