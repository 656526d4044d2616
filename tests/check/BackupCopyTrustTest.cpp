// Backup copies nothing can lose or fake. A pair that does not agree with itself is never
// repaired by guessing: an index emptied, cut or removed leaves every copy where it was
// through the next drop (which adds without copies and says why), and each copy restores
// byte for byte once the index is back; a flipped bit or a backup file cut at a copy's end
// restores nothing wrong; a file of more than 4 GiB is backed up and restored whole; a mode
// that begins with "N" encrypts as the readers decrypt. Names raced or planted by whoever can
// write in a folder receive nothing (a link swapped in at the restore's temporary name, a hard
// link at a stale plaintext name, a "Backup File <n>" that is a link), and the copies made on
// the way to another file system or to the backup database leave nothing when the program
// ends in the middle of them.
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileSystem.h"
#include "storage/BackupDigests.h"
#include "storage/StopPoints.h"
#include "storage/StoredFileNames.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

const char kPrecious[] = "someone else's file";

// The name the stop hook swaps for a link to the outside file, right after it is made.
std::string g_swapHost, g_targetHost;
void SwapAfterMade(const char* where) {
    if (std::string(where) == "restore file made" && !g_swapHost.empty() &&
        std::filesystem::is_regular_file(std::filesystem::symlink_status(g_swapHost))) {
        unlink(g_swapHost.c_str());
        EXPECT_EQ(0, symlink(g_targetHost.c_str(), g_swapHost.c_str()));
        g_swapHost.clear();
    }
}

// The system's file operations, except that a rename from one folder to another answers as
// between two file systems, and (when `endInCopy`) the process ends at the first write of a
// copy on its way to another name.
class TwoFileSystems final : public platform::FileSystem {
  public:
    explicit TwoFileSystems(bool endInCopy) : m_system(platform::Fs()), m_endInCopy(endInCopy) {
        platform::SetFileSystem(this);
    }
    ~TwoFileSystems() override { platform::SetFileSystem(nullptr); }

    int Open(const std::string& path, int flags, mode_t mode) override {
        const int fd = m_system.Open(path, flags, mode);
        if (fd >= 0)
            m_paths[fd] = path;
        return fd;
    }
    int Close(int fd) override {
        m_paths.erase(fd);
        return m_system.Close(fd);
    }
    ssize_t ReadAt(int fd, void* data, size_t length, off_t offset) override {
        return m_system.ReadAt(fd, data, length, offset);
    }
    ssize_t Write(int fd, const void* data, size_t length) override {
        EndIfCopy(fd);
        return m_system.Write(fd, data, length);
    }
    ssize_t WriteAt(int fd, const void* data, size_t length, off_t offset) override {
        EndIfCopy(fd);
        return m_system.WriteAt(fd, data, length, offset);
    }
    ssize_t CopyRange(int in, off_t inOffset, int out, off_t outOffset, size_t length) override {
        EndIfCopy(out);
        return m_system.CopyRange(in, inOffset, out, outOffset, length);
    }
    int Sync(int fd) override { return m_system.Sync(fd); }
    int Truncate(int fd, off_t length) override { return m_system.Truncate(fd, length); }
    int Rename(const std::string& from, const std::string& to, bool replace) override {
        if (from.substr(0, from.rfind('/')) != to.substr(0, to.rfind('/'))) {
            errno = EXDEV;
            return -1;
        }
        return m_system.Rename(from, to, replace);
    }
    int Remove(const std::string& path) override { return m_system.Remove(path); }
    int MakeFolder(const std::string& path, mode_t mode) override {
        return m_system.MakeFolder(path, mode);
    }

  private:
    void EndIfCopy(int fd) {
        const auto it = m_paths.find(fd);
        if (m_endInCopy && it != m_paths.end() && it->second.size() > 6 &&
            it->second.compare(it->second.size() - 6, 6, ".copy~") == 0)
            _exit(7);
    }

    platform::FileSystem& m_system;
    bool m_endInCopy;
    std::map<int, std::string> m_paths;
};

class BackupCopyTrustTest : public AcceptRestoreFixture {
  protected:
    BackupCopyTrustTest() { p.WriteFile(kOutside, kPrecious); }
    ~BackupCopyTrustTest() override { SetStorageStopHook(nullptr); }

    // Three files added as a user adds them, in `mode`: copies with their digests.
    void AddThree(const std::string& mode) {
        p.SetReg("Config17", mode);
        p.SetReg("Config2", "0");
        files = {"E:\\a.txt", "E:\\b.txt", "E:\\c.txt"};
        originals = {std::string(37, 'a'), std::string(250, 'x') + std::string(250, 'y'),
                     std::string(16, 'c')};
        for (const std::string& f : {BackupIndexPath(), BackupFilePath(), DigestsPath()})
            platform::RemoveFile(f);
        StoreDatabase("");
        for (size_t i = 0; i < files.size(); ++i) {
            p.WriteFile(files[i], originals[i]);
            view->AddOneFileToDatabase(files[i]);
        }
        ASSERT_TRUE(p.Exists(DigestsPath()));
        p.ui.ClearEvents();
    }
    // The last message of a restore of `file` (changed first) in `mode`.
    std::string RestoreSays(const std::string& file, int mode = 0) {
        p.WriteFile(file, "changed");
        Restore(file, mode);
        return p.ui.Events().back();
    }
    void ExpectEveryCopyRestores() {
        for (size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(RestoreSays(files[i]),
                      MessageBoxEvent(files[i] + " successfully restored.", "information"));
            EXPECT_EQ(originals[i], p.ReadFile(files[i]));
        }
    }
    std::string DigestsPath() const { return BackupDigestsPath(p.BackupDir(), "1"); }
    std::string Damaged(const std::string& what) {
        return "The backup files of E:\\db.qdb are damaged: " + what + ".";
    }
    // A file of someone else's, for links to point at.
    const std::string kOutside = "E:\\outside\\precious.txt";

    // Runs `command` in a child that ends in the middle of a copy, then the next start.
    void EndedInCopy(const std::function<void()>& command) {
        const pid_t pid = fork();
        if (pid == 0) {
            TwoFileSystems disks(true);
            command();
            _exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << "not ended in a copy";
        p.frame.RecoverStoredFiles();
        EXPECT_TRUE(p.FilesNamed(".copy~").empty()) << p.FilesNamed(".copy~")[0];
    }
};

TEST_F(BackupCopyTrustTest, ADamagedIndexLosesNoCopyToADrop) {
    const std::string index = BackupIndexPath(), backup = BackupFilePath();
    const auto lists = [&](const char* bytes) {
        return backup + " holds 576 bytes, while " + index + " lists " + bytes +
               " bytes of copies";  // 48 + 512 + 16
    };
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;  // null: removed
        std::string what;
    };
    const Case cases[] = {
        {"emptied", [](std::string& s) { s.clear(); }, lists("0")},
        {"cut in half", [](std::string& s) { s.resize(s.size() / 2 + 1); },
         index + " is not a whole number of blocks"},
        {"cut at a block", [](std::string& s) { s.resize(s.size() / 32 * 16); }, lists("48")},
        {"removed", nullptr, index + " is missing, while " + backup + " holds 576 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AddThree("N");
        const std::string before = p.ReadFile(index), bytes = p.ReadFile(backup);
        std::string damaged = before;
        if (c.damage) {
            c.damage(damaged);
            p.WriteFile(index, damaged);
        } else {
            platform::RemoveFile(index);
        }
        p.WriteFile("E:\\d.txt", "a new file");
        view->OnDropFiles({"E:\\d.txt"});
        EXPECT_EQ(
            p.ui.Events(),
            (std::vector<std::string>{
                MessageBoxEvent(Damaged(c.what) + "\nThey are left as they are, and files "
                                                  "are added without backup copies.",
                                "exclamation"),
                MessageBoxEvent("1 File successfully dropped into the database.", "information")}));
        // Nothing of the pair moved: the backup file, the damaged index, the digests.
        EXPECT_EQ(bytes, p.ReadFile(backup));
        EXPECT_EQ(c.damage ? damaged : std::string(), c.damage ? p.ReadFile(index) : "");
        EXPECT_EQ(c.damage != nullptr, p.Exists(index));
        // Put back, the index finds every copy, each the file that was backed up.
        p.WriteFile(index, before);
        ExpectEveryCopyRestores();
    }
}

TEST_F(BackupCopyTrustTest, AFlippedBitInACopyRestoresNothing) {
    for (const char* mode : {"N", "P"}) {
        for (const int restoreMode : {0, 1}) {
            SCOPED_TRACE(std::string(mode) + std::to_string(restoreMode));
            AddThree(mode);
            std::string bytes = p.ReadFile(BackupFilePath());
            const size_t inB = mode[0] == 'N' ? 48 + 300 : 37 + 300;
            bytes[inB] = char(bytes[inB] ^ 0x10);
            p.WriteFile(BackupFilePath(), bytes);
            EXPECT_EQ(RestoreSays(files[1], restoreMode),
                      MessageBoxEvent("Couldn't restore E:\\b.txt.\nIts backup copy in " +
                                          BackupFilePath() + " is damaged and cannot be restored.",
                                      "exclamation"));
            EXPECT_EQ("changed", p.ReadFile(files[1]));
            EXPECT_TRUE(p.FilesNamed(".CHANGED").empty());
            EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
            // The copies beside it are whole.
            EXPECT_EQ(RestoreSays(files[2]),
                      MessageBoxEvent("E:\\c.txt successfully restored.", "information"));
        }
    }
}

// What a lost append leaves: a backup file that ends exactly where a copy ends. The pair
// takes no copy more, the copies it holds still restore, and the one it lost is not restored.
TEST_F(BackupCopyTrustTest, ABackupFileCutAtACopysEndKeepsWhatItHolds) {
    AddThree("N");
    const std::string bytes = p.ReadFile(BackupFilePath()).substr(0, 48 + 512);
    p.WriteFile(BackupFilePath(), bytes);
    p.WriteFile("E:\\d.txt", "a new file");
    view->OnDropFiles({"E:\\d.txt"});
    EXPECT_EQ(p.ui.Events().at(0),
              MessageBoxEvent(Damaged(BackupFilePath() + " holds 560 bytes, while " +
                                      BackupIndexPath() + " lists 576 bytes of copies") +
                                  "\nThey are left as they are, and files are added without "
                                  "backup copies.",
                              "exclamation"));
    EXPECT_EQ(bytes, p.ReadFile(BackupFilePath()));
    EXPECT_EQ(RestoreSays(files[1]),
              MessageBoxEvent("E:\\b.txt successfully restored.", "information"));
    EXPECT_EQ(RestoreSays(files[2]),
              MessageBoxEvent("Couldn't restore E:\\c.txt.\nIts backup copy in " +
                                  BackupFilePath() + " is incomplete.",
                              "exclamation"));
    EXPECT_EQ("changed", p.ReadFile(files[2]));
}

// "NX" begins with "N": every reader decrypts such a copy, so the add encrypts it, and its
// entry keeps the setting's text.
TEST_F(BackupCopyTrustTest, AModeThatBeginsWithNIsEncrypted) {
    AddThree("NX");
    const std::string entry = files[0] + kSep + "NX" + kSep + "48.00" + kSep + "37\r\n";
    EXPECT_EQ(BackupIndexPlain().substr(0, entry.size()), entry);
    EXPECT_EQ(48u + 512u + 16u, p.ReadFile(BackupFilePath()).size());
    ExpectEveryCopyRestores();
}

// A sparse file of 4 GiB and one byte: its copy holds all of it (the size field its low 32
// bits, 1), and it comes back whole. Skipped where the disk has no room for the copy.
TEST_F(BackupCopyTrustTest, AFileOfFourGiBAndOneByteRestoresWhole) {
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "no threads here: the race detector's build leaves it out";
#endif
    struct statvfs fs;
    ASSERT_EQ(0, statvfs(p.root.c_str(), &fs));
    if (uint64_t(fs.f_bavail) * fs.f_frsize < (uint64_t(6) << 30))
        GTEST_SKIP() << "less than 6 GiB free";
    p.SetReg("Config17", "N");
    p.SetReg("Config2", "0");
    StoreDatabase("");
    const std::string big = "E:\\big.img";
    const uint64_t size = (uint64_t(1) << 32) + 1;
    p.WriteFile(big, "");
    ASSERT_EQ(0, truncate(p.Host(big).c_str(), off_t(size - 1)));
    {
        platform::CFile end;
        ASSERT_TRUE(end.Open(big, "ab"));
        ASSERT_TRUE(end.Write("x", 1) && end.Close());
    }
    view->AddOneFileToDatabase(big);
    EXPECT_EQ(BackupIndexPlain(), big + kSep + "N" + kSep + "4294967312.00" + kSep + "1\r\n");
    EXPECT_EQ(int64_t(size + 15), platform::FileLength(BackupFilePath()));

    platform::RemoveFile(big);
    EXPECT_EQ(RestoreSays(big), MessageBoxEvent(big + " successfully restored.", "information"));
    EXPECT_EQ(int64_t(size), platform::FileLength(big));
    platform::CFile restored;
    ASSERT_TRUE(restored.Open(big, "rb"));
    restored.Seek(int64_t(size - 2), SEEK_SET);
    EXPECT_EQ(0, restored.GetC());
    EXPECT_EQ('x', restored.GetC());
}

// Links planted at the design's other temporary names are never touched (the copy is
// decrypted where it lies); a link swapped in at ".987654321z" right after the restore made
// it receives nothing: the bytes go to the file the restore made, and as the name no longer
// names that file, the changed file stays where it is.
TEST_F(BackupCopyTrustTest, ALinkSwappedInAtARestoresTemporaryNameReceivesNothing) {
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        BuildThree("N");
        p.WriteFile(files[1], "changed");
        for (const char* planted : {".Ptemp", ".Ntemp"})
            ASSERT_EQ(0, symlink(p.Host(kOutside).c_str(), p.Host(files[1] + planted).c_str()));
        g_swapHost = p.Host(files[1] + ".987654321z");
        g_targetHost = p.Host(kOutside);
        SetStorageStopHook(SwapAfterMade);
        Restore(files[1], mode);
        SetStorageStopHook(nullptr);
        EXPECT_TRUE(g_swapHost.empty()) << "not swapped";
        EXPECT_EQ(kPrecious, p.ReadFile(kOutside));
        EXPECT_EQ("changed", p.ReadFile(files[1]));
        EXPECT_FALSE(p.Exists(files[1] + ".987654321z"));
        EXPECT_EQ(MessageBoxEvent(
                      "Couldn't restore E:\\b.txt at this time. Close the application and try "
                      "again.",
                      "exclamation"),
                  p.ui.Events().back());
        for (const char* planted : {".Ptemp", ".Ntemp"}) platform::RemoveFile(files[1] + planted);
    }
}

TEST_F(BackupCopyTrustTest, TheStartUpWipeNeverOverwritesTheTargetOfAHardLink) {
    BuildThree("N");
    const std::string dir = p.BackupDir();
    for (const std::string& name :
         {DatabaseWorkCopyPath(kDatabase), DatabaseRewritePath(kDatabase),
          DatabaseIndexWorkPath(dir), DatabaseIndexRewritePath(dir),
          BackupIndexPath() + kIndexCopySuffix, BackupFilePath() + kRenewalSuffix,
          BackupIndexPath() + kRenewalSuffix}) {
        SCOPED_TRACE(name);
        ASSERT_EQ(0, link(p.Host(kOutside).c_str(), p.Host(name).c_str()));
        p.frame.RecoverStoredFiles();
        EXPECT_FALSE(p.Exists(name));
        EXPECT_EQ(kPrecious, p.ReadFile(kOutside));
    }
}

TEST_F(BackupCopyTrustTest, ABackupFileThatIsALinkIsNeverAppendedThrough) {
    BuildThree("N", {"", "", ""});  // empty copies: the backup file holds nothing
    platform::RemoveFile(BackupFilePath());
    ASSERT_EQ(0, symlink(p.Host(kOutside).c_str(), p.Host(BackupFilePath()).c_str()));
    p.WriteFile("E:\\d.txt", "new file");
    view->AddOneFileToDatabase("E:\\d.txt");
    EXPECT_EQ(kPrecious, p.ReadFile(kOutside));
    EXPECT_NE(std::string::npos, p.ui.Events().back().find("Backup File 1"))
        << p.ui.Events().back();
}

TEST_F(BackupCopyTrustTest, TheBackupDatabasesCopyLeavesNothingWhenEnded) {
    BuildThree("N");
    p.SetReg("Config2", "1");
    p.WriteFile("E:\\d.txt", "one more");
    EndedInCopy([this] { view->AddOneFileToDatabase("E:\\d.txt"); });
}

TEST_F(BackupCopyTrustTest, ARestoreMovesAChangedFileToAnotherFileSystem) {
    BuildThree("N");
    p.WriteFile(files[1], "changed");
    EndedInCopy([this] { Restore(files[1], 1); });
    EXPECT_EQ("changed", p.ReadFile(files[1]));
    EXPECT_TRUE(p.FilesNamed(".CHANGED").empty());

    TwoFileSystems disks(false);
    Restore(files[1], 1);
    std::string folder;
    ASSERT_TRUE(ReadSetting(settings::kChangedFilesDir, folder));
    EXPECT_EQ("changed", p.ReadFile(folder + "b.txt.CHANGED"));
    EXPECT_EQ(originals[1], p.ReadFile(files[1]));
    EXPECT_EQ(MessageBoxEvent("E:\\b.txt successfully restored.", "information"),
              p.ui.Events().back());
    EXPECT_TRUE(p.FilesNamed(".copy~").empty());
}

}  // namespace
