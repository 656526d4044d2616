// The add's pure rules: the previously-listed comparison, the backup database's name and
// the drop and paste summaries.
#include <gtest/gtest.h>

#include "add/AddMessages.h"
#include "add/BackupDatabase.h"
#include "add/ListedTest.h"

namespace {

const std::string kSep(1, '\x7f');

TEST(RecordLineHasPath, IgnoresLetterCaseAndNeedsTheSeparator) {
    const std::string line =
        "E:\\Docs\\Report.TXT" + kSep + "d41d8cd98f00b204e9800998ecf8427e" + kSep + "\r\n";
    EXPECT_TRUE(RecordLineHasPath(line, "E:\\Docs\\Report.TXT"));
    EXPECT_TRUE(RecordLineHasPath(line, "e:\\docs\\report.txt"));
    // A listed path that is a prefix of the new path, and the other way round.
    EXPECT_FALSE(RecordLineHasPath(line, "E:\\Docs\\Report.TXT.bak"));
    EXPECT_FALSE(RecordLineHasPath(line, "E:\\Docs\\Report.TX"));
    EXPECT_FALSE(RecordLineHasPath(line, "E:\\Docs\\Report.TXT" + kSep + "d41d"));
    EXPECT_FALSE(RecordLineHasPath("E:\\Docs\\Report.TXT", "E:\\Docs\\Report.TXT"));
    // Only ASCII letters fold: other bytes must match exactly.
    EXPECT_FALSE(RecordLineHasPath("E:\\\xc9t\xe9" + kSep, "E:\\\xe9t\xe9"));
    EXPECT_TRUE(RecordLineHasPath("E:\\\xc9T\xe9" + kSep, "e:\\\xc9t\xe9"));
}

TEST(RecordLineHasPath, ComparesPathsOfAnyLength) {
    const std::string longPath = "E:\\" + std::string(300, 'a');
    const std::string line = longPath + kSep + "x" + kSep + "\r\n";
    EXPECT_TRUE(RecordLineHasPath(line, longPath));
    std::string upper = longPath;
    upper[250] = 'A';
    EXPECT_TRUE(RecordLineHasPath(line, upper));
    EXPECT_FALSE(RecordLineHasPath(line, longPath.substr(0, 299)));
}

TEST(BackupDatabasePath, BesideTheDatabase) {
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files.db", "~", true, ""), "C:\\Data\\Files~.db");
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files.v2.db", "~", true, ""), "C:\\Data\\Files.v2~.db");
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files.db", "_bak", true, "D:\\Ignored"),
              "C:\\Data\\Files_bak.db");
    // A base without '.' gets the suffix at its end; so does one whose only '.' is first.
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files", "~", true, ""), "C:\\Data\\Files~");
    EXPECT_EQ(BackupDatabasePath(".db", "~", true, ""), ".db~");
    // The last '.' of the whole base counts, even in a folder's name.
    EXPECT_EQ(BackupDatabasePath("C:\\My.Data\\Files", "~", true, ""), "C:\\My~.Data\\Files");
}

TEST(BackupDatabasePath, InTheBackupDatabaseFolder) {
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files.db", "~", false, "D:\\Backups"),
              "D:\\Backups\\Files~.db");
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files.db", "~", false, "D:\\Backups\\"),
              "D:\\Backups\\Files~.db");
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files", "~", false, "D:\\Backups"),
              "D:\\Backups\\Files~");
    EXPECT_EQ(BackupDatabasePath("C:\\Data\\Files", "~", false, "D:\\Back.ups\\"),
              "D:\\Back~.ups\\Files");
}

TEST(AddSummaryText, TheTableOfSummaries) {
    EXPECT_EQ(AddSummaryText(1, 0, "dropped"), "1 File successfully dropped into the database.");
    EXPECT_EQ(AddSummaryText(3, 2, "dropped"),
              "3 Files successfully dropped into the database.\n2 Files listed previously.");
    EXPECT_EQ(AddSummaryText(0, 1, "dropped"), "\n1 File listed previously.");
    EXPECT_EQ(AddSummaryText(0, 0, "dropped"), "");
    EXPECT_EQ(AddSummaryText(1, 1, "pasted"),
              "1 File successfully pasted into the database.\n1 File listed previously.");
    EXPECT_EQ(AddSummaryText(12, 0, "pasted"), "12 Files successfully pasted into the database.");
}

}  // namespace
