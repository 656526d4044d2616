// Windows paths to host paths and back, the current folder, drive links and drive types.
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

#include "platform/Drives.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Prefix.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

using Paths = PlatformTest;

TEST_F(Paths, HostPathGoesThroughTheDriveLink) {
    const std::string dev = tmp + "/prefix/dosdevices";
    EXPECT_EQ(HostPath("C:\\Data\\a.txt"), dev + "/c:/Data/a.txt");
    EXPECT_EQ(HostPath("c:/Data/a.txt"), dev + "/c:/Data/a.txt");
    EXPECT_EQ(HostPath("E:\\"), dev + "/e:/");
    EXPECT_EQ(HostPath("E:\\x\\"), dev + "/e:/x/");
    EXPECT_EQ(HostPath("E:\\a\\\\b\\.\\c"), dev + "/e:/a/b/c");
    // ".." stays on the drive, as on Windows, instead of leaving through the link.
    EXPECT_EQ(HostPath("E:\\a\\..\\..\\..\\b"), dev + "/e:/b");
    EXPECT_EQ(HostPath("\\\\server\\share\\f"), dev + "/unc/server/share/f");
    EXPECT_EQ(HostPath(""), "");
}

TEST_F(Paths, RelativePathsFollowTheCurrentFolder) {
    ASSERT_EQ(mkdir(E("work").c_str(), 0777), 0);
    ASSERT_TRUE(SetCurrentDirectory("E:\\work\\"));
    EXPECT_EQ(GetCurrentDirectory(), "E:\\work");
    const std::string dev = tmp + "/prefix/dosdevices";
    EXPECT_EQ(HostPath("a.txt"), dev + "/e:/work/a.txt");
    EXPECT_EQ(HostPath("..\\b.txt"), dev + "/e:/b.txt");
    EXPECT_EQ(HostPath("\\c.txt"), dev + "/e:/c.txt");
    EXPECT_EQ(HostPath("E:d.txt"), dev + "/e:/work/d.txt");
    EXPECT_EQ(HostPath("C:d.txt"), dev + "/c:/d.txt");
    // The host's own current folder moved with it.
    WriteHost(E("work/here.txt"), "x");
    EXPECT_TRUE(HostExists("here.txt"));
    EXPECT_FALSE(SetCurrentDirectory("E:\\missing"));
    EXPECT_EQ(GetCurrentDirectory(), "E:\\work");
}

TEST_F(Paths, WindowsPathTakesTheLongestDriveTarget) {
    ASSERT_EQ(mkdir(E("inner").c_str(), 0777), 0);
    WriteHost(E("inner/f.txt"), "x");
    EXPECT_EQ(WindowsPath(E("inner/f.txt")), std::string("E:\\inner\\f.txt"));
    ASSERT_TRUE(SetDriveLink('F', E("inner")));
    EXPECT_EQ(WindowsPath(E("inner/f.txt")), std::string("F:\\f.txt"));
    EXPECT_EQ(WindowsPath(E("inner")), std::string("F:\\"));
    // Through the drive link itself, and for a file that does not exist yet.
    EXPECT_EQ(WindowsPath(tmp + "/prefix/dosdevices/c:/Program Files/Quillstead"),
              std::string("C:\\Program Files\\Quillstead"));
    EXPECT_EQ(WindowsPath(E("inner/new/g.txt")), std::string("F:\\new\\g.txt"));
    // z: covers the rest of the machine.
    EXPECT_EQ(WindowsPath("/etc/hostname"), std::string("Z:\\etc\\hostname"));
    EXPECT_EQ(WindowsPath("/"), std::string("Z:\\"));
    ASSERT_EQ(unlink((tmp + "/prefix/dosdevices/z:").c_str()), 0);
    EXPECT_EQ(WindowsPath("/etc/hostname"), std::nullopt);
}

TEST_F(Paths, SetDriveLinkReplacesAndSetupKeepsLinks) {
    ASSERT_EQ(mkdir(E("one").c_str(), 0777), 0);
    ASSERT_EQ(mkdir(E("two").c_str(), 0777), 0);
    WriteHost(E("two/t.txt"), "2");
    ASSERT_TRUE(SetDriveLink('g', E("one")));
    ASSERT_TRUE(SetDriveLink('G', E("two")));
    EXPECT_TRUE(FileExists("G:\\t.txt"));
    EXPECT_FALSE(SetDriveLink('1', E("two")));
    // A first start over an existing prefix leaves a re-pointed c: alone.
    ASSERT_TRUE(SetDriveLink('c', E("one")));
    FirstStartSetup();
    char target[4096] = {};
    ASSERT_GT(readlink((tmp + "/prefix/dosdevices/c:").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), E("one"));
    EXPECT_TRUE(HostExists(E("one/Program Files/Quillstead/Checking Schedule")));
}

TEST_F(Paths, MissingDriveIsFileNotFound) {
    CFile f;
    int cause = -1;
    EXPECT_FALSE(f.Open("Q:\\a.txt", "rb", Share::DenyNone, &cause));
    EXPECT_EQ(cause, CFileException::fileNotFound);
    EXPECT_FALSE(FileExists("Q:\\a.txt"));
    EXPECT_EQ(LastFileErrorCause(), CFileException::fileNotFound);
}

TEST_F(Paths, DriveTypes) {
    EXPECT_EQ(GetDriveType("Q:\\"), DRIVE_NO_ROOT_DIR);
    ASSERT_TRUE(SetDriveLink('h', E("nowhere")));
    EXPECT_EQ(GetDriveType("H:"), DRIVE_NO_ROOT_DIR);
    const DriveType c = GetDriveType("C:\\x\\y");
    EXPECT_TRUE(c == DRIVE_FIXED || c == DRIVE_RAMDISK || c == DRIVE_REMOVABLE || c == DRIVE_REMOTE)
        << c;
    struct stat st;
    ASSERT_EQ(stat("/proc", &st), 0);
    ASSERT_TRUE(SetDriveLink('p', "/proc"));
    EXPECT_EQ(GetDriveType("P:\\"), DRIVE_FIXED);
    struct statfs fs;
    if (statfs("/dev/shm", &fs) == 0 && fs.f_type == TMPFS_MAGIC) {
        ASSERT_TRUE(SetDriveLink('s', "/dev/shm"));
        EXPECT_EQ(GetDriveType("S:\\"), DRIVE_RAMDISK);
    }
}
