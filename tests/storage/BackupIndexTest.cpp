// The backup index line: its exact bytes, the copy lengths of both modes, the reader, and
// the lookup of a file's entry with its copy's offset.
#include <gtest/gtest.h>

#include "storage/BackupIndex.h"
#include "tests/storage/StorageHelpers.h"

namespace {

TEST(BackupIndex, FileNames) {
    EXPECT_EQ(BackupIndexPath("C:\\B\\", "12"), "C:\\B\\Backup Index 12");
    EXPECT_EQ(BackupFilePath("C:\\B\\", "12"), "C:\\B\\Backup File 12");
}

TEST(BackupIndex, LinesOfBothModes) {
    // A 500-byte file: 512.00 in mode "N", 500.00 in mode "P"; no separator at the end.
    EXPECT_EQ(BuildBackupIndexLine("C:\\d\\b.bin", "N", CopyLengthFor("N", 500), 500),
              Seps("C:\\d\\b.bin|N|512.00|500"));
    EXPECT_EQ(BuildBackupIndexLine("C:\\d\\b.bin", "P", CopyLengthFor("P", 500), 500),
              Seps("C:\\d\\b.bin|P|500.00|500"));
    // An empty file adds nothing.
    EXPECT_EQ(BuildBackupIndexLine("C:\\e", "N", CopyLengthFor("N", 0), 0), Seps("C:\\e|N|0.00|0"));
    // The copy length as text, and the largest size.
    EXPECT_EQ(BuildBackupIndexLine("C:\\e", "P", "4294967295", 4294967295u),
              Seps("C:\\e|P|4294967295|4294967295"));
}

TEST(BackupIndex, CopyLengths) {
    EXPECT_EQ(CopyLengthFor("N", 0), 0.0);
    EXPECT_EQ(CopyLengthFor("N", 1), 16.0);
    EXPECT_EQ(CopyLengthFor("N", 16), 16.0);
    EXPECT_EQ(CopyLengthFor("N", 17), 32.0);
    EXPECT_EQ(CopyLengthFor("N", 4294967295u), 4294967296.0);
    EXPECT_EQ(CopyLengthFor("P", 17), 17.0);
    EXPECT_EQ(CopyLengthFor("No", 17), 17.0);  // only "N" exactly encrypts
}

TEST(BackupIndex, ReaderTakesTheLastTwoFieldsAndTheModeCharacter) {
    BackupIndexEntry e;
    ASSERT_TRUE(ParseBackupIndexLine(Seps("C:\\d\\b.bin|N|512.00|500\r\n"), e));
    EXPECT_EQ(e.mode, "N");
    EXPECT_EQ(e.copyLength, 512.0);
    EXPECT_EQ(e.plainSize, 500.0);

    ASSERT_TRUE(ParseBackupIndexLine(Seps("C:\\x|Plain|7|7\n"), e));
    EXPECT_EQ(e.mode, "P");
    EXPECT_EQ(e.copyLength, 7.0);

    EXPECT_FALSE(ParseBackupIndexLine("C:\\no separators\r\n", e));
    EXPECT_FALSE(ParseBackupIndexLine(Seps("C:\\x|N|16\r\n"), e));
    EXPECT_FALSE(ParseBackupIndexLine("", e));
}

TEST(BackupIndex, LookupAddsUpTheCopiesBefore) {
    std::vector<std::string> lines = {
        BuildBackupIndexLine("C:\\a", "N", CopyLengthFor("N", 500), 500) + "\r\n",
        BuildBackupIndexLine("C:\\b", "P", CopyLengthFor("P", 33), 33) + "\r\n",
        BuildBackupIndexLine("C:\\c", "N", CopyLengthFor("N", 0), 0) + "\r\n",
        BuildBackupIndexLine("C:\\d", "N", CopyLengthFor("N", 20), 20) + "\r\n",
    };
    BackupLookup l = FindBackupEntry(lines, "C:\\d");
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.line, 3u);
    EXPECT_EQ(l.offset, 512.0 + 33.0);
    EXPECT_EQ(l.entry.copyLength, 32.0);
    EXPECT_EQ(l.entry.plainSize, 20.0);

    l = FindBackupEntry(lines, "C:\\a");
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.offset, 0.0);

    EXPECT_FALSE(FindBackupEntry(lines, "C:\\e").found);
    EXPECT_FALSE(FindBackupEntry(lines, "c:\\a").found);  // case-sensitive
    EXPECT_FALSE(FindBackupEntry({}, "C:\\a").found);
}

TEST(BackupIndex, LookupTakesTheFilesOwnLineOnly) {
    // An entry of a longer path that starts with the file's path and stands before the
    // file's own line is passed over, its copy length counted into the offset.
    std::vector<std::string> lines = {
        BuildBackupIndexLine("C:\\x.txt", "P", "3", 3) + "\r\n",
        BuildBackupIndexLine("C:\\x.txt.bak", "P", "10", 10) + "\r\n",
        BuildBackupIndexLine("C:\\x.txt", "P", "5", 5) + "\r\n",
    };
    BackupLookup l = FindBackupEntry({lines[1], lines[2]}, "C:\\x.txt");
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.line, 1u);
    EXPECT_EQ(l.offset, 10.0);
    EXPECT_EQ(l.entry.plainSize, 5.0);
    EXPECT_FALSE(FindBackupEntry({lines[1]}, "C:\\x.txt").found);

    l = FindBackupEntry(lines, "C:\\x.txt.bak");
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.line, 1u);
    EXPECT_EQ(l.offset, 3.0);
}

TEST(BackupIndex, DamagedEntryIsNoEntry) {
    std::vector<std::string> lines = {
        "C:\\a damaged line\r\n",
        BuildBackupIndexLine("C:\\b", "P", "4", 4) + "\r\n",
        Seps("C:\\c|N\r\n"),
    };
    BackupLookup l = FindBackupEntry(lines, "C:\\b");
    ASSERT_TRUE(l.found);
    EXPECT_EQ(l.offset, 0.0);  // the damaged line adds nothing
    l = FindBackupEntry(lines, "C:\\c");
    EXPECT_FALSE(l.found);
    EXPECT_EQ(l.line, 2u);
}

}  // namespace
