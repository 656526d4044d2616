// The copies the program makes outside its own folder are noted like its other temporary
// files: a program ended in the middle of the backup database's copy, or of moving a changed
// file onto another file system during a restore, leaves nothing after the next start, and
// the user's changed file is still where it was. Uninterrupted, the restore's move across
// file systems leaves the changed file in "Changed Files" and the original in its place.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/FileSystem.h"
#include "tests/check/AcceptRestoreFixture.h"

namespace {

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

class NotedCopyTest : public AcceptRestoreFixture {
  protected:
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

TEST_F(NotedCopyTest, TheBackupDatabasesCopyLeavesNothingWhenEnded) {
    BuildThree("N");
    p.SetReg("Config2", "1");
    p.WriteFile("E:\\d.txt", "one more");
    EndedInCopy([this] { view->AddOneFileToDatabase("E:\\d.txt"); });
}

TEST_F(NotedCopyTest, ARestoreMovesAChangedFileToAnotherFileSystem) {
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
