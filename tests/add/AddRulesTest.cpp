// The add's pure rules: the backup database's name and the drop and paste summaries.
#include <gtest/gtest.h>

#include "add/AddMessages.h"
#include "add/BackupDatabase.h"

namespace {

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
