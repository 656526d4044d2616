// Acceptance of a changed file's new digest: the rewritten record at the end of the
// database, the check positioned on its next record, and the database's digest renewed.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "check/AcceptChange.h"
#include "check/CheckRunState.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

class AcceptChangeTest : public AcceptRestoreFixture {
  protected:
    std::string NextLineOfTheCheck() {
        std::string line;
        EXPECT_TRUE(p.frame.m_checkWorkFile->ReadLine(line));
        return line;
    }
};

TEST_F(AcceptChangeTest, KeepingTheBackupMovesTheRenewedRecordToTheEnd) {
    BuildThree("N");
    const std::string indexBefore = p.ReadFile(BackupIndexPath());
    const std::string backupBefore = p.ReadFile(BackupFilePath());
    const std::string indexLineBefore = DatabaseIndexPlain();
    p.WriteFile(files[1], std::string(500, 'x'));

    CheckRunState run = RunAt(files[1], 2);
    AcceptChangedFile(run, 2);

    const std::string renewed = ExpectedRecord(run, "500");
    EXPECT_EQ(records[0] + records[2] + renewed, DatabasePlain());
    EXPECT_EQ(1, run.recordsMoved);
    EXPECT_TRUE(run.refill);
    EXPECT_TRUE(run.repositioned);
    // The check goes on with c.txt, then meets the moved record beyond its count.
    EXPECT_EQ(records[2], NextLineOfTheCheck());
    EXPECT_EQ(renewed, NextLineOfTheCheck());

    // Choice 2 leaves both backup files as they were, byte for byte.
    EXPECT_EQ(indexBefore, p.ReadFile(BackupIndexPath()));
    EXPECT_EQ(backupBefore, p.ReadFile(BackupFilePath()));

    // Only the fifth field of the database's index line changes: the new stored digest.
    std::string line = DatabaseIndexPlain();
    std::string digest;
    ASSERT_TRUE(IndexField(line, 5, digest));
    EXPECT_EQ(DigestStoredFile(kDatabase), digest);
    EXPECT_EQ(WithIndexDigest(indexLineBefore, digest), line);

    EXPECT_TRUE(p.ui.Events().empty());
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(AcceptChangeTest, TheLastRecordAcceptedStaysLastAndTheCheckIsAtItsEnd) {
    BuildThree("P");
    p.WriteFile(files[2], "");
    CheckRunState run = RunAt(files[2], 3);
    AcceptChangedFile(run, 1);
    EXPECT_EQ(records[0] + records[1] + ExpectedRecord(run, "0"), DatabasePlain());
    // Three begun, one moved: two lines lie before the moved record.
    EXPECT_EQ(ExpectedRecord(run, "0"), NextLineOfTheCheck());
}

TEST_F(AcceptChangeTest, SizeFieldHasNoLeadingBlanksForEitherChoice) {
    CheckRunState run;
    run.path = "E:\\f";
    run.newDigest = std::string(32, '0');
    run.findData.dwFileAttributes = 0x20;
    for (int choice : {1, 2}) {
        run.findData.nFileSizeLow = 0;
        EXPECT_EQ(ExpectedRecord(run, "0"), AcceptedRecordLine(run, choice));
        run.findData.nFileSizeLow = 4294967295u;
        run.findData.nFileSizeHigh = 1;  // only the low word is recorded
        EXPECT_EQ(ExpectedRecord(run, "4294967295"), AcceptedRecordLine(run, choice));
    }
    // A half whose top bit is set prints as a negative number.
    run.findData.ftLastWriteTime.dwLowDateTime = 0x80000000u;
    EXPECT_NE(std::string::npos, AcceptedRecordLine(run, 2).find("\x7f-2147483648\x7f"));
}

TEST_F(AcceptChangeTest, AnUnreadableDatabaseEndsTheAcceptanceAndLeavesNoPlaintext) {
    BuildThree("N");
    CheckRunState run = RunAt(files[0], 1);
    // The stored database is locked by another holder: it cannot be decrypted again.
    platform::CFile holder;
    ASSERT_TRUE(holder.Open(kDatabase, "rb", platform::Share::DenyAll));
    EXPECT_THROW(AcceptChangedFile(run, 2), CFileException);
    holder.Close();
    EXPECT_EQ(records[0] + records[1] + records[2], DatabasePlain());
    EXPECT_FALSE(p.frame.m_checkWorkFile);
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

}  // namespace
