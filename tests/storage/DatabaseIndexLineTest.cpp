// The "Database Index" line: its writer, the field reader, the digest and last-checked
// rewrites on lines of five and eight fields, damaged lines, and the test of a decrypted
// index.
#include <gtest/gtest.h>

#include "storage/DatabaseIndex.h"

namespace {

const std::string kDigestA = "0123456789abcdef0123456789abcdef";
const std::string kDigestB = "fedcba9876543210fedcba9876543210";

FILETIME Time(uint32_t high, uint32_t low) {
    FILETIME t;
    t.dwHighDateTime = high;
    t.dwLowDateTime = low;
    return t;
}

TEST(DatabaseIndexLine, Names) {
    EXPECT_EQ(DatabaseIndexPath("C:\\B\\"), "C:\\B\\Database Index");
    EXPECT_EQ(DatabaseIndexWorkPath("C:\\B\\"), "C:\\B\\Database Index123456789z");
}

TEST(DatabaseIndexLine, FiveFieldLine) {
    std::string line =
        BuildDatabaseIndexLine("C:\\Data\\s.qdb", 7, Time(31129600, 0x9A000000), kDigestA);
    EXPECT_EQ(line,
              "C:\\Data\\s.qdb\x7f"
              "7\x7f"
              "31129600\x7f-1711276032\x7f" +
                  kDigestA + "\x7f");

    std::string f;
    ASSERT_TRUE(IndexField(line, 1, f));
    EXPECT_EQ(f, "C:\\Data\\s.qdb");
    ASSERT_TRUE(IndexField(line, 2, f));
    EXPECT_EQ(f, "7");
    ASSERT_TRUE(IndexField(line, 4, f));
    EXPECT_EQ(f, "-1711276032");
    ASSERT_TRUE(IndexField(line, 5, f));
    EXPECT_EQ(f, kDigestA);
    EXPECT_FALSE(IndexField(line, 6, f));
    EXPECT_FALSE(IndexField(line, 0, f));

    FILETIME checked = Time(1, 1);
    EXPECT_FALSE(IndexLastChecked(line + "\n", checked));
    EXPECT_EQ(FileTimeToU64(checked), 0u);
}

TEST(DatabaseIndexLine, BelongsByItsWholeCaseSensitivePath) {
    std::string line = BuildDatabaseIndexLine("C:\\Data\\s.qdb2", 2, Time(1, 2), kDigestA) + "\n";
    EXPECT_TRUE(IndexLineBelongsTo(line, "C:\\Data\\s.qdb2"));
    EXPECT_FALSE(IndexLineBelongsTo(line, "C:\\Data\\s.qdb"));  // another database's line
    EXPECT_FALSE(IndexLineBelongsTo(line, "C:\\data\\s.qdb2"));
    EXPECT_FALSE(IndexLineBelongsTo("C:\\Data", "C:\\Data\\s.qdb"));
}

TEST(DatabaseIndexLine, NewDigestKeepsEverythingElse) {
    std::string five = BuildDatabaseIndexLine("C:\\s.qdb", 3, Time(5, 0xFFFFFFFF), kDigestA);
    EXPECT_EQ(WithIndexDigest(five + "\n", kDigestB),
              "C:\\s.qdb\x7f"
              "3\x7f"
              "5\x7f-1\x7f" +
                  kDigestB + "\x7f\n");
    EXPECT_EQ(WithIndexDigest(five + "\r\n", kDigestB),
              "C:\\s.qdb\x7f"
              "3\x7f"
              "5\x7f-1\x7f" +
                  kDigestB + "\x7f\r\n");
    // Eight fields: the empty sixth field and the last-checked halves stay.
    std::string eight = five +
                        "\x7f"
                        "31129600\x7f-5\x7f\n";
    EXPECT_EQ(WithIndexDigest(eight, kDigestB),
              "C:\\s.qdb\x7f"
              "3\x7f"
              "5\x7f-1\x7f" +
                  kDigestB +
                  "\x7f\x7f"
                  "31129600\x7f-5\x7f\n");
    // A line without a fifth field is left as it is.
    std::string four =
        "C:\\s.qdb\x7f"
        "3\x7f"
        "5\x7f-1\x7f\n";
    EXPECT_EQ(WithIndexDigest(four, kDigestB), four);
}

TEST(DatabaseIndexLine, LastCheckedRewrite) {
    std::string five = BuildDatabaseIndexLine("C:\\s.qdb", 3, Time(5, 6), kDigestA);
    const std::string expected = five +
                                 "\x7f"
                                 "31129600\x7f-1242308600\x7f\n";
    FILETIME now = Time(31129600, uint32_t(-1242308600));
    EXPECT_EQ(WithLastChecked(five + "\r\n", now), expected);
    // An earlier time is replaced, not added to.
    EXPECT_EQ(WithLastChecked(five + "\x7f"
                                     "1\x7f"
                                     "2\x7f\n",
                              now),
              expected);

    FILETIME back;
    ASSERT_TRUE(IndexLastChecked(expected, back));
    EXPECT_EQ(back.dwHighDateTime, 31129600u);
    EXPECT_EQ(back.dwLowDateTime, uint32_t(-1242308600));
    // A sixth separator without the halves: checked, at time zero.
    ASSERT_TRUE(IndexLastChecked(five + "\x7f\n", back));
    EXPECT_EQ(FileTimeToU64(back), 0u);

    std::string damaged =
        "C:\\s.qdb\x7f"
        "3\x7f\n";
    EXPECT_EQ(WithLastChecked(damaged, now), damaged);
}

TEST(DatabaseIndexLine, WellFormedIndexText) {
    std::string a = BuildDatabaseIndexLine("C:\\a.qdb", 1, Time(1, 2), kDigestA) + "\n";
    std::string b = BuildDatabaseIndexLine("C:\\b.qdb", 12, Time(1, 2), kDigestB) +
                    "\x7f"
                    "3\x7f"
                    "4\x7f\n";
    EXPECT_TRUE(IndexTextIsWellFormed(""));
    EXPECT_TRUE(IndexTextIsWellFormed(a));
    EXPECT_TRUE(IndexTextIsWellFormed(a + b));
    EXPECT_TRUE(IndexTextIsWellFormed(a + b.substr(0, b.size() - 1)));  // no final break

    EXPECT_FALSE(IndexTextIsWellFormed(a + "\n"));  // an empty line
    EXPECT_FALSE(IndexTextIsWellFormed(a + "C:\\c.qdb\x7f"
                                           "1\x7f"
                                           "2\x7f"
                                           "3\x7f\n"));
    EXPECT_FALSE(
        IndexTextIsWellFormed("C:\\c.qdb\x7f"
                              "1a\x7f"
                              "2\x7f"
                              "3\x7f"
                              "d\x7f\n"));
    EXPECT_FALSE(
        IndexTextIsWellFormed("C:\\c.qdb\x7f\x7f"
                              "2\x7f"
                              "3\x7f"
                              "d\x7f\n"));
    EXPECT_FALSE(IndexTextIsWellFormed(std::string("\x13\x9f\x7f\x00\x44", 5)));
}

}  // namespace
