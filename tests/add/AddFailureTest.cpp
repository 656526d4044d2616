// Adding one file when something fails: a file that cannot be opened, a folder, a backup
// file or backup index held by another program, a database without its index line, and a
// full disk. Nothing half-written stays, no plaintext copy is left, and no failure passes
// for a success.
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "add/AddMessages.h"
#include "add/OpenToAdd.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "tests/add/AddFixture.h"

namespace {

// Holds a file the way another program that shares it with nobody does.
class HeldFile {
  public:
    explicit HeldFile(const std::string& path) {
        EXPECT_TRUE(m_file.Open(path, "rb", platform::Share::DenyAll)) << path;
    }

  private:
    platform::CFile m_file;
};

// Files may grow no larger than `bytes` while it lives: a write past that fails as on a full
// disk (EFBIG).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        struct rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

  private:
    struct rlimit m_old;
    void (*m_oldHandler)(int);
};

class AddFailureTest : public AddFixture {
  protected:
    // Runs the add and returns the file exception that ended it.
    CFileException AddExpectingFailure(const std::string& path) {
        try {
            view.AddOneFileToDatabase(path);
        } catch (const CFileException& e) {
            return e;
        }
        ADD_FAILURE() << "the add of " << path << " did not fail";
        return CFileException(CFileException::none, "");
    }
};

TEST_F(AddFailureTest, FileHeldByAnotherProgramEndsTheAdd) {
    const std::string path = "E:\\held.txt";
    prefix.WriteFile(path, "alpha\n");
    CFileException e(0, "");
    {
        HeldFile held(path);
        e = AddExpectingFailure(path);
    }
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(e.m_strFileName, path);
    // Counted before the open, as the caller's summary is never shown after a failure.
    EXPECT_EQ(view.m_filesAdded, 1);
    EXPECT_EQ(DatabasePlain(), "");
    EXPECT_EQ(BackupFileBytes(), "");
    EXPECT_TRUE(prefix.ui.Events().empty());
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, FolderEndsTheAddWithAccessDenied) {
    ASSERT_TRUE(platform::CreateDirectory("E:\\Folder"));
    const CFileException e = AddExpectingFailure("E:\\Folder");
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_EQ(e.m_strFileName, "E:\\Folder");
    EXPECT_EQ(DatabasePlain(), "");
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, FileWithoutAReasonIsNotReadNorCounted) {
    const std::string path = "E:\\held.txt";
    prefix.WriteFile(path, "alpha\n");
    {
        OpenWithoutCause withoutCause;
        HeldFile held(path);
        view.AddOneFileToDatabase(path);
    }

    EXPECT_EQ(view.m_filesAdded, 0);
    EXPECT_EQ(view.m_filesPreviouslyListed, 0);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(prefix.ui.Events()[0],
              BoxEvent("E:\\held.txt could not be opened for reading, so it was not added.",
                       "exclamation"));
    EXPECT_EQ(DatabasePlain(), "");
    EXPECT_EQ(BackupFileBytes(), "");
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, BackupFileHeldByAnotherProgram) {
    const std::string path = "E:\\a.txt";
    prefix.WriteFile(path, "alpha\n");
    {
        HeldFile held(kBackupFile);
        view.AddOneFileToDatabase(path);
    }
    EXPECT_EQ(view.m_filesAdded, 1);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(prefix.ui.Events()[0],
              BoxEvent("Couldn't back up E:\\a.txt into C:\\Program Files\\Quillstead\\Backup "
                       "Files\\Backup File 1\nReason: SharingViolation. ",
                       "exclamation"));
    // The record stays; no copy and no index line; the routine went on to its end.
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(path, "9f9f90dbe3e5ee1218c86b8839db1995", "           6"));
    EXPECT_EQ(BackupFileBytes(), "");
    EXPECT_EQ(BackupIndexPlain(), "");
    EXPECT_EQ(prefix.ReadFile("C:\\Data\\Files~.db"), prefix.ReadFile(kDatabase));
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, IndexLineThatCannotBeWrittenTakesTheCopyBackOut) {
    prefix.WriteFile("E:\\first.bin", Pattern(500));
    view.AddOneFileToDatabase("E:\\first.bin");
    const std::string backupIndex = prefix.ReadFile(kBackupIndex);
    ASSERT_EQ(BackupFileBytes().size(), 512u);

    prefix.WriteFile("E:\\second.bin", Pattern(40));
    CFileException e(0, "");
    {
        HeldFile held(kBackupIndex);
        e = AddExpectingFailure("E:\\second.bin");
    }
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(e.m_strFileName, kBackupIndex);
    // The second copy is gone again, so the first line still describes the only copy.
    EXPECT_EQ(BackupFileBytes().size(), 512u);
    EXPECT_EQ(prefix.ReadFile(kBackupIndex), backupIndex);
    EXPECT_EQ(DecryptCopy(0, 512, 500), Pattern(500));
    EXPECT_EQ(view.m_filesAdded, 2);
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, DatabaseWithoutItsIndexLineGetsNoBackupCopy) {
    DropIndexLine();
    const std::string path = "E:\\a.txt";
    prefix.WriteFile(path, "alpha\n");
    view.AddOneFileToDatabase(path);

    EXPECT_EQ(view.m_filesAdded, 1);
    ASSERT_EQ(prefix.ui.Events().size(), 1u);
    EXPECT_EQ(
        prefix.ui.Events()[0],
        BoxEvent("C:\\Data\\Files.db has no line in the Database Index, so no backup copy was "
                 "made.",
                 "exclamation"));
    EXPECT_EQ(DatabasePlain(),
              ExpectedRecord(path, "9f9f90dbe3e5ee1218c86b8839db1995", "           6"));
    EXPECT_EQ(BackupFileBytes(), "");
    EXPECT_EQ(BackupIndexPlain(), "");
    EXPECT_EQ(prefix.ReadFile("C:\\Data\\Files~.db"), prefix.ReadFile(kDatabase));
    EXPECT_EQ(IndexLine(), "");
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, FullDiskWhileCopyingIsReportedAndLeavesNoPartialCopy) {
    prefix.SetReg("Config17", "P");
    prefix.WriteFile("E:\\first.txt", "alpha\n");
    view.AddOneFileToDatabase("E:\\first.txt");
    const std::string backupIndex = prefix.ReadFile(kBackupIndex);

    prefix.WriteFile("E:\\big.bin", Pattern(300 * 1024));
    CFileException e(0, "");
    {
        FileSizeLimit limit(200 * 1024);
        e = AddExpectingFailure("E:\\big.bin");
    }
    EXPECT_EQ(e.m_cause, CFileException::diskFull);
    EXPECT_EQ(e.m_strFileName, kBackupFile);
    EXPECT_EQ(BackupFileBytes(), "alpha\n");
    EXPECT_EQ(prefix.ReadFile(kBackupIndex), backupIndex);
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(AddFailureTest, FullDiskWhileWritingTheRecordLeavesTheDatabaseAsItWas) {
    prefix.WriteFile("E:\\first.txt", "alpha\n");
    view.AddOneFileToDatabase("E:\\first.txt");
    const std::string database = prefix.ReadFile(kDatabase);
    const std::string plain = DatabasePlain();

    prefix.WriteFile("E:\\second.txt", "beta\n");
    CFileException e(0, "");
    {
        FileSizeLimit limit(plain.size() + 10);
        e = AddExpectingFailure("E:\\second.txt");
    }
    // Whichever write meets the full disk first ends the add with nothing of it stored.
    EXPECT_EQ(e.m_cause, CFileException::diskFull);
    EXPECT_EQ(prefix.ReadFile(kDatabase), database);
    EXPECT_EQ(BackupFileBytes().size(), 16u);
    ExpectNothingLeftBehind();
}

}  // namespace
