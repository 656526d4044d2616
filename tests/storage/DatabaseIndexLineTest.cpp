// The "Database Index" line: its writer, the field reader, the digest and last-checked
// rewrites on lines of five and eight fields, damaged lines, and the test of a decrypted
// index.
#include <gtest/gtest.h>

#include "storage/DatabaseIndex.h"
#include "tests/storage/StorageHelpers.h"

namespace {

const std::string kDigestA = "0123456789abcdef0123456789abcdef";
const std::string kDigestB = "fedcba9876543210fedcba9876543210";

TEST(DatabaseIndexLine, Names) {
    EXPECT_EQ(DatabaseIndexPath("C:\\B\\"), "C:\\B\\Database Index");
    EXPECT_EQ(DatabaseIndexWorkPath("C:\\B\\"), "C:\\B\\Database Index123456789z");
}

TEST(DatabaseIndexLine, FiveFieldLine) {
    std::string line =
        BuildDatabaseIndexLine("C:\\Data\\s.qdb", 7, Time(31129600, 0x9A000000), kDigestA);
    EXPECT_EQ(line, Seps("C:\\Data\\s.qdb|7|31129600|-1711276032|" + kDigestA + "|"));

    const std::pair<int, std::string> fields[] = {
        {1, "C:\\Data\\s.qdb"}, {2, "7"}, {4, "-1711276032"}, {5, kDigestA}};
    std::string f;
    for (const auto& [n, expected] : fields) {
        ASSERT_TRUE(IndexField(line, n, f)) << n;
        EXPECT_EQ(f, expected) << n;
    }
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
    EXPECT_EQ(WithIndexDigest(five + "\n", kDigestB), Seps("C:\\s.qdb|3|5|-1|" + kDigestB + "|\n"));
    EXPECT_EQ(WithIndexDigest(five + "\r\n", kDigestB),
              Seps("C:\\s.qdb|3|5|-1|" + kDigestB + "|\r\n"));
    // Eight fields: the empty sixth field and the last-checked halves stay.
    std::string eight = five + Seps("|31129600|-5|\n");
    EXPECT_EQ(WithIndexDigest(eight, kDigestB),
              Seps("C:\\s.qdb|3|5|-1|" + kDigestB + "||31129600|-5|\n"));
    // A line without a fifth field is left as it is.
    std::string four = Seps("C:\\s.qdb|3|5|-1|\n");
    EXPECT_EQ(WithIndexDigest(four, kDigestB), four);
}

TEST(DatabaseIndexLine, LastCheckedRewrite) {
    std::string five = BuildDatabaseIndexLine("C:\\s.qdb", 3, Time(5, 6), kDigestA);
    const std::string expected = five + Seps("|31129600|-1242308600|\n");
    FILETIME now = Time(31129600, uint32_t(-1242308600));
    EXPECT_EQ(WithLastChecked(five + "\r\n", now), expected);
    // An earlier time is replaced, not added to.
    EXPECT_EQ(WithLastChecked(five + Seps("|1|2|\n"), now), expected);

    FILETIME back;
    ASSERT_TRUE(IndexLastChecked(expected, back));
    EXPECT_EQ(back.dwHighDateTime, 31129600u);
    EXPECT_EQ(back.dwLowDateTime, uint32_t(-1242308600));
    // A sixth separator without the halves: checked, at time zero.
    ASSERT_TRUE(IndexLastChecked(five + "\x7f\n", back));
    EXPECT_EQ(FileTimeToU64(back), 0u);

    std::string damaged = Seps("C:\\s.qdb|3|\n");
    EXPECT_EQ(WithLastChecked(damaged, now), damaged);
}

TEST(DatabaseIndexLine, WellFormedIndexText) {
    std::string a = BuildDatabaseIndexLine("C:\\a.qdb", 1, Time(1, 2), kDigestA) + "\n";
    std::string b = BuildDatabaseIndexLine("C:\\b.qdb", 12, Time(1, 2), kDigestB) + Seps("|3|4|\n");
    EXPECT_TRUE(IndexTextIsWellFormed(""));
    EXPECT_TRUE(IndexTextIsWellFormed(a));
    EXPECT_TRUE(IndexTextIsWellFormed(a + b));
    EXPECT_TRUE(IndexTextIsWellFormed(a + b.substr(0, b.size() - 1)));  // no final break

    EXPECT_FALSE(IndexTextIsWellFormed(a + "\n"));  // an empty line
    EXPECT_FALSE(IndexTextIsWellFormed(a + Seps("C:\\c.qdb|1|2|3|\n")));
    EXPECT_FALSE(IndexTextIsWellFormed(Seps("C:\\c.qdb|1a|2|3|d|\n")));
    EXPECT_FALSE(IndexTextIsWellFormed(Seps("C:\\c.qdb||2|3|d|\n")));
    EXPECT_FALSE(IndexTextIsWellFormed(std::string("\x13\x9f\x7f\x00\x44", 5)));
}

}  // namespace
