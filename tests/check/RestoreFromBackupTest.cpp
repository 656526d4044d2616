// Restore from backup: the file's entry by the readers' rule and its copy's offset, mode-"N"
// copies decrypted to their plain length, the changed file overwritten or moved aside as
// ".CHANGED", ".CHANGED1", ..., and the messages, status texts and clean-up of every ending.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/ChangedFileDetailsDlg.h"
#include "check/CheckRunState.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/BackupIndex.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

class RestoreFromBackupTest : public AcceptRestoreFixture {
  protected:
    static std::string Status(const char* text) {
        return std::string("{\"event\":\"status\",\"text\":\"") + text + "\"}";
    }
    static std::string Progress(const char* caption) {
        return std::string("{\"event\":\"progress\",\"caption\":\"") + caption + "\"}";
    }
    std::string ChangedFolder() {
        std::string folder;
        EXPECT_TRUE(ReadSetting(settings::kChangedFilesDir, folder));
        return folder;
    }
    std::vector<std::string> Events(size_t from = 1) {
        const auto& all = p.ui.Events();
        return std::vector<std::string>(all.begin() + static_cast<long>(from), all.end());
    }
};

TEST_F(RestoreFromBackupTest, AnEncryptedCopyOf500BytesComesBackAsExactly500) {
    BuildThree("N", {"first", std::string(250, 'x') + std::string(250, 'y'), "third"});
    p.WriteFile(files[1], "changed");
    Restore(files[1], 0);

    EXPECT_EQ(originals[1], p.ReadFile(files[1]));
    ASSERT_EQ(7u, p.ui.Events().size());
    EXPECT_EQ(
        "{\"event\":\"dialog\",\"class\":\"CRestoreDlg\",\"members\":{\"m_restoreMode\":1,"
        "\"m_pathLine1\":\"E:\\\\b.txt\",\"m_pathLine2\":\"\",\"m_pathLine3\":\"\"},"
        "\"result\":\"ok\"}",
        p.ui.Events()[0]);
    EXPECT_EQ((std::vector<std::string>{
                  Progress("Initiating File Restoration..."), Status("Processing..."),
                  Progress("Restoring File..."), Status("Processing..."), Status("Ready"),
                  MessageBoxEvent("E:\\b.txt successfully restored.", "information")}),
              Events());
    // The last loop copied the 500 plain bytes of a 512-byte copy, one step each.
    EXPECT_EQ(512, p.ui.statusProgressTotal);
    EXPECT_EQ(500, p.ui.statusProgressSteps);
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

// A copy of more than 65000 bytes moves the bar once every 10 bytes; one of 650,000 bytes,
// a band's bound, once every 100, so its total stays within the bar.
TEST_F(RestoreFromBackupTest, ALargeCopyScalesTheProgress) {
    for (const int length : {70001, 650000}) {
        BuildThree("P", {"x", std::string(size_t(length), 'q'), "z"});
        p.WriteFile(files[1], "changed");
        Restore(files[1], 0);
        EXPECT_EQ(originals[1], p.ReadFile(files[1]));
        const int step = length < 650000 ? 10 : 100;
        EXPECT_EQ(length / step, p.ui.statusProgressTotal);
        EXPECT_EQ(length / step, p.ui.statusProgressSteps);
    }
}

// Copies in both modes lie back to back; the k-th entry's copy starts after the lengths of
// the entries before it.
TEST_F(RestoreFromBackupTest, TheKthCopyStartsAfterTheCopyLengthsBeforeIt) {
    files = {"E:\\a.txt", "E:\\b.txt", "E:\\c.txt"};
    originals = {std::string(37, 'a'), std::string(101, 'b'), std::string(20, 'c')};
    const char* modes[] = {"P", "N", "P"};
    std::string database, index, backup;
    for (size_t i = 0; i < 3; ++i) {
        p.WriteFile(files[i], originals[i]);
        database += AddedRecord(files[i]);
        const uint32_t size = static_cast<uint32_t>(originals[i].size());
        index +=
            BuildBackupIndexLine(files[i], modes[i], CopyLengthFor(modes[i], size), size) + "\r\n";
        backup += modes[i][0] == 'N' ? EncryptedCopy(originals[i]) : originals[i];
    }
    ASSERT_EQ(37u + 112u + 20u, backup.size());
    StoreDatabase(database);
    StoreBackupIndex(index);
    p.WriteFile(BackupFilePath(), backup);

    for (size_t i : {2, 1, 0}) {
        p.WriteFile(files[i], "changed");
        Restore(files[i], 0);
        EXPECT_EQ(originals[i], p.ReadFile(files[i])) << files[i];
    }
}

TEST_F(RestoreFromBackupTest, AShortLastLineOfTheIndexIsAnEntry) {
    BuildShortLastLine();
    p.WriteFile("E:\\s", "changed");
    Restore("E:\\s", 0);
    EXPECT_EQ("s", p.ReadFile("E:\\s"));
}

TEST_F(RestoreFromBackupTest, AFileBackedUpEmptyIsRestoredEmpty) {
    for (const char* mode : {"N", "P"}) {
        SCOPED_TRACE(mode);
        BuildThree(mode, {"one", "", "three"});
        p.WriteFile(files[1], "now full");
        Restore(files[1], 0);
        EXPECT_EQ("", p.ReadFile(files[1]));
        EXPECT_EQ(MessageBoxEvent("E:\\b.txt successfully restored.", "information"),
                  p.ui.Events().back());
    }
    // Even without a backup file: an empty copy needs none of its bytes.
    platform::RemoveFile(BackupFilePath());
    p.WriteFile(files[1], "full again");
    Restore(files[1], 0);
    EXPECT_EQ("", p.ReadFile(files[1]));
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(RestoreFromBackupTest, MovedAsideAsChangedThenChanged1) {
    BuildThree("N");
    const std::string folder = ChangedFolder();
    p.WriteFile(files[0], "first change");
    Restore(files[0], 1);
    EXPECT_EQ(originals[0], p.ReadFile(files[0]));
    EXPECT_EQ("first change", p.ReadFile(folder + "a.txt.CHANGED"));

    p.WriteFile(files[0], "second change");
    Restore(files[0], 1);
    EXPECT_EQ(originals[0], p.ReadFile(files[0]));
    EXPECT_EQ("first change", p.ReadFile(folder + "a.txt.CHANGED"));
    EXPECT_EQ("second change", p.ReadFile(folder + "a.txt.CHANGED1"));
    EXPECT_EQ(MessageBoxEvent("E:\\a.txt successfully restored.", "information"),
              p.ui.Events().back());
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(RestoreFromBackupTest, AMissingChangedFilesFolderIsMade) {
    BuildThree("P");
    p.SetReg(settings::kChangedFilesDir, "E:\\Changed\\");
    p.WriteFile(files[2], "changed");
    Restore(files[2], 1);
    EXPECT_EQ(originals[2], p.ReadFile(files[2]));
    EXPECT_EQ("changed", p.ReadFile("E:\\Changed\\c.txt.CHANGED"));
}

// No name in the changed-files folder can take the file: it stays where it is, unchanged.
TEST_F(RestoreFromBackupTest, AChangedFileThatCannotBeMovedAsideStays) {
    BuildThree("N");
    p.SetReg(settings::kChangedFilesDir, "E:\\no\\such\\folder\\");
    p.WriteFile(files[1], "changed");
    Restore(files[1], 1);
    EXPECT_EQ("changed", p.ReadFile(files[1]));
    EXPECT_EQ(
        MessageBoxEvent("Couldn't restore E:\\b.txt at this time. Close the application and try "
                        "again.",
                        "exclamation"),
        p.ui.Events().back());
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(RestoreFromBackupTest, AFileWithoutAnEntryWasNotBackedUp) {
    BuildThree("N");
    p.WriteFile("E:\\d.txt", "not backed up");
    Restore("E:\\d.txt", 0);
    EXPECT_EQ("not backed up", p.ReadFile("E:\\d.txt"));
    EXPECT_EQ((std::vector<std::string>{MessageBoxEvent(
                  "E:\\d.txt was not backed up. To enable restoration in future, change your "
                  "settings with the 'Configuration' menu.",
                  "exclamation")}),
              Events());
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(RestoreFromBackupTest, CancelLeavesTheChangedFileAsItIs) {
    BuildThree("N");
    p.WriteFile(files[0], "changed");
    Restore(files[0], -1);
    EXPECT_EQ("changed", p.ReadFile(files[0]));
    EXPECT_EQ(1u, p.ui.Events().size());  // the dialog alone
    EXPECT_TRUE(p.FilesNamed(".CHANGED").empty());
}

// A backup file cut short gives no restore at all: the changed file is never replaced by
// part of its original.
TEST_F(RestoreFromBackupTest, AnIncompleteCopyIsNotPutInPlace) {
    for (const char* mode : {"P", "N"}) {
        SCOPED_TRACE(mode);
        BuildThree(mode);
        const std::string backup = p.ReadFile(BackupFilePath());
        p.WriteFile(BackupFilePath(), backup.substr(0, backup.size() - 3));
        p.WriteFile(files[2], "changed");
        Restore(files[2], 0);
        EXPECT_EQ("changed", p.ReadFile(files[2]));
        EXPECT_EQ(Status("Ready"), Events()[Events().size() - 2]);
        EXPECT_EQ(MessageBoxEvent("Couldn't restore E:\\c.txt.\nIts backup copy in C:\\Program "
                                  "Files\\Quillstead\\Backup Files\\Backup File 1 is incomplete.",
                                  "exclamation"),
                  p.ui.Events().back());
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
    }
}

// The temporary file beside the changed file cannot be made (a folder holds its name) on a
// fixed drive, where the drive check has nothing to say: the restore ends naming the file
// and the cause, in either mode.
TEST_F(RestoreFromBackupTest, ATemporaryFileThatCannotBeMadeEndsTheRestore) {
    const char* suffix = ".987654321z";
    for (const char* mode : {"N", "P"}) {
        SCOPED_TRACE(mode);
        BuildThree(mode);
        p.WriteFile(files[0], "changed");
        ASSERT_TRUE(platform::CreateDirectory(files[0] + suffix));
        platform::CFile probe;
        int cause = 0;
        ASSERT_FALSE(probe.Open(files[0] + suffix, "wb+x", platform::Share::DenyNone, &cause));
        Restore(files[0], 0);
        EXPECT_EQ("changed", p.ReadFile(files[0]));
        EXPECT_EQ(MessageBoxEvent(std::string("Couldn't restore E:\\a.txt.\nE:\\a.txt") + suffix +
                                      " could not be created.\nReason: " + FileErrorName(cause),
                                  "exclamation"),
                  p.ui.Events().back());
        std::filesystem::remove(p.Host(files[0] + suffix));
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
    }
}

// A file's entry is found by its whole path: the entry of another file whose path begins
// with it, standing first, is passed over (its copy's bytes skipped), and a path shown in
// three lines of the details dialog is joined back.
TEST_F(RestoreFromBackupTest, TheEntryIsFoundByTheWholePath) {
    const std::string longPath = "E:\\" + std::string(60, 'd') + "\\" + std::string(60, 'e') +
                                 "\\" + std::string(80, 'f') + ".txt";
    ASSERT_GT(longPath.size(), 184u);
    struct Case {
        std::string path, original, index, backup;
    };
    const Case cases[] = {
        {"E:\\a.txt", "A",
         "E:\\a.txt.bak" + kSep + "P" + kSep + "3.00" + kSep + "3\r\n" + "E:\\a.txt" + kSep + "P" +
             kSep + "1.00" + kSep + "1\r\n",
         "BAKA"},
        {longPath, "original", longPath + kSep + "P" + kSep + "8.00" + kSep + "8\r\n", "original"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        p.WriteFile(c.path, c.original);
        StoreDatabase(AddedRecord(c.path));
        StoreBackupIndex(c.index);
        p.WriteFile(BackupFilePath(), c.backup);
        p.WriteFile(c.path, "changed");
        Restore(c.path, 0);
        EXPECT_EQ(c.original, p.ReadFile(c.path));
    }
}

// The original comes back with the changed file's permission bits (a script stays runnable),
// and a name so long (250 bytes) that a suffix would take it past the file system's limit
// still has its temporaries and its ".CHANGED" name: in both modes the original comes back
// whole.
TEST_F(RestoreFromBackupTest, PermissionsAndLongNamesSurviveARestore) {
    const std::string longName = "E:\\" + std::string(250, 'n');
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        BuildThree("N", {"one", "#!/bin/sh\necho two\n", "three"});
        p.WriteFile(files[1], "changed");
        ASSERT_EQ(0, chmod(p.Host(files[1]).c_str(), 0750));
        Restore(files[1], mode);
        EXPECT_EQ(originals[1], p.ReadFile(files[1]));
        struct stat st;
        ASSERT_EQ(0, stat(p.Host(files[1]).c_str(), &st));
        EXPECT_EQ(0750u, st.st_mode & 07777);

        p.WriteFile(longName, "long original");
        StoreDatabase(AddedRecord(longName));
        StoreBackupIndex(BuildBackupIndexLine(longName, "N", 16, 13) + "\r\n");
        p.WriteFile(BackupFilePath(), EncryptedCopy("long original"));
        p.WriteFile(longName, "changed");
        Restore(longName, mode);
        EXPECT_EQ("long original", p.ReadFile(longName));
        EXPECT_EQ(MessageBoxEvent(longName + " successfully restored.", "information"),
                  p.ui.Events().back());
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
    }
}

}  // namespace
