// Choice 1 renews the accepted file's backup copy: its copy and entry take the place of the
// old ones (or go at the end), other copies keep their bytes, and a changed file that cannot
// be read leaves the backup pair as it was.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "platform/File.h"
#include "storage/BackupIndex.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

using AcceptRenewBackupTest = AcceptRestoreFixture;

// The renewed copy of the second of three takes its place in either mode: an encrypted copy
// of 500 bytes fills 512, a plain one holds the bytes and its length without decimals.
// Database 1's renewal works beside the backup pair of database 11 and leaves it as it was.
namespace {
// The renewal's bar in the status bar, and "Ready" after it.
const std::string kRenewingEvent =
    "{\"event\":\"progress\",\"caption\":\"Renewing the backup copy...\"}";
const std::string kReadyEvent = "{\"event\":\"status\",\"text\":\"Ready\"}";
}  // namespace

TEST_F(AcceptRenewBackupTest, TheCopyOfTheSecondOfThreeTakesItsPlace) {
    struct Case {
        const char* mode;
        char fill;
        const char* copyLength;
    };
    for (const Case& c : {Case{"N", 'y', "512.00"}, Case{"P", 'z', "500"}}) {
        SCOPED_TRACE(c.mode);
        BuildThree(c.mode);
        const std::string index11 = p.BackupDir() + "Backup Index 11";
        const std::string file11 = p.BackupDir() + "Backup File 11";
        p.WriteFile(index11, "the index of database 11");
        p.WriteFile(file11, "the copies of database 11");
        const std::string changed(500, c.fill);
        p.WriteFile(files[1], changed);
        p.ui.ClearEvents();
        CheckRunState run = RunAt(files[1], 2);
        AcceptChangedFile(run, 1);

        const std::string newCopy = c.mode[0] == 'N' ? EncryptedCopy(changed) : changed;
        EXPECT_EQ(copies[0] + newCopy + copies[2], p.ReadFile(BackupFilePath()));
        EXPECT_EQ(entries[0] + files[1] + kSep + c.mode + kSep + c.copyLength + kSep + "500\n" +
                      entries[2],
                  BackupIndexPlain());
        if (c.mode[0] == 'N') {
            ASSERT_EQ(512u, newCopy.size());
            EXPECT_EQ(changed, DecryptedCopy(newCopy, 500));
        }
        EXPECT_EQ("the index of database 11", p.ReadFile(index11));
        EXPECT_EQ("the copies of database 11", p.ReadFile(file11));
        EXPECT_EQ((std::vector<std::string>{kRenewingEvent, kReadyEvent}), p.ui.Events());
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
    }
}

TEST_F(AcceptRenewBackupTest, AFileWithoutAnEntryGetsItsCopyAndEntryAtTheEnd) {
    BuildThree("N");
    // d.txt was listed while backups were off.
    p.WriteFile("E:\\d.txt", "first d");
    records.push_back(AddedRecord("E:\\d.txt"));
    StoreDatabase(records[0] + records[1] + records[2] + records[3]);
    p.WriteFile("E:\\d.txt", "second d");

    CheckRunState run = RunAt("E:\\d.txt", 4);
    AcceptChangedFile(run, 1);
    EXPECT_EQ(copies[0] + copies[1] + copies[2] + EncryptedCopy("second d"),
              p.ReadFile(BackupFilePath()));
    EXPECT_EQ(entries[0] + entries[1] + entries[2] + "E:\\d.txt" + kSep + "N" + kSep + "16.00" +
                  kSep + "8\n",
              BackupIndexPlain());
}

// A backup file missing, or cut short, while its index lists more copies: the acceptance
// records the new digest, but the pair is left exactly as it was (no entry dropped, no byte
// cut) and the message says which files do not agree and how.
TEST_F(AcceptRenewBackupTest, ADamagedPairIsLeftAsItIs) {
    const std::string lists = ", while " + BackupIndexPath() + " lists 154 bytes of copies";
    BuildThree("P");
    const std::string cutShort = copies[0] + copies[1].substr(0, 20);
    for (const std::string& backup : {std::string(), cutShort}) {
        SCOPED_TRACE(backup.size());
        BuildThree("P");
        platform::RemoveFile(BackupFilePath());
        if (!backup.empty())
            p.WriteFile(BackupFilePath(), backup);
        const std::string index = p.ReadFile(BackupIndexPath());
        p.WriteFile(files[2], "new c");
        CheckRunState run = RunAt(files[2], 3);
        p.ui.ClearEvents();
        AcceptChangedFile(run, 1);
        const std::string what = backup.empty() ? BackupFilePath() + " is missing" + lists
                                                : BackupFilePath() + " holds 57 bytes" + lists;
        EXPECT_EQ(p.ui.Events(),
                  std::vector<std::string>{MessageBoxEvent(
                      "The backup copy of E:\\c.txt was not renewed. The backup files of "
                      "E:\\db.qdb are damaged: " +
                          what + ".\nThey are left as they are.",
                      "exclamation")});
        EXPECT_EQ(p.Exists(BackupFilePath()), !backup.empty());
        if (!backup.empty()) {
            EXPECT_EQ(backup, p.ReadFile(BackupFilePath()));
        }
        EXPECT_EQ(index, p.ReadFile(BackupIndexPath()));
        EXPECT_EQ(records[0] + records[1] + ExpectedRecord(run, "5"), DatabasePlain());
    }
}

TEST_F(AcceptRenewBackupTest, AShortLastEntryIsKept) {
    BuildShortLastLine();
    p.WriteFile(longPath, "LONG!");
    CheckRunState run = RunAt(longPath, 1);
    AcceptChangedFile(run, 1);
    EXPECT_EQ(longPath + kSep + "P" + kSep + "5" + kSep + "5\n" + shortEntry, BackupIndexPlain());
    EXPECT_EQ("LONG!s", p.ReadFile(BackupFilePath()));
}

// The changed file is held by another program: the message names it and its cause, and the
// backup pair stays as it was, with no temporary file left.
TEST_F(AcceptRenewBackupTest, AnUnreadableChangedFileKeepsTheOldPair) {
    for (const char* mode : {"P", "N"}) {
        SCOPED_TRACE(mode);
        BuildThree(mode);
        const std::string indexBefore = p.ReadFile(BackupIndexPath());
        const std::string backupBefore = p.ReadFile(BackupFilePath());
        p.WriteFile(files[1], "changed b");
        CheckRunState run = RunAt(files[1], 2);
        platform::CFile holder;
        ASSERT_TRUE(holder.Open(files[1], "rb", platform::Share::DenyAll));
        p.ui.ClearEvents();
        AcceptChangedFile(run, 1);
        holder.Close();

        // Said before any renewal shows itself.
        EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent(
                                     "Couldn't check E:\\b.txt\nReason: SharingViolation. ",
                                     "exclamation")});
        EXPECT_EQ(indexBefore, p.ReadFile(BackupIndexPath()));
        EXPECT_EQ(backupBefore, p.ReadFile(BackupFilePath()));
        // The record itself is accepted.
        EXPECT_EQ(records[0] + records[2] + AcceptedRecordLine(run, 1), DatabasePlain());
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
        p.frame.m_checkWorkFile.reset();
    }
}

}  // namespace
