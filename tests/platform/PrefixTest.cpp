// The prefix itself: a relative prefix is resolved once to an absolute path, whatever folder
// the program moves to afterwards; everything the program creates is its owner's alone
// (files 0600, folders 0700) whatever the umask, while a copy keeps its source's mode; and
// the lock that keeps a prefix to one program.
#include <cstdlib>
#include <filesystem>

#include "platform/File.h"
#include "platform/InstanceLock.h"
#include "platform/Registry.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

namespace {

// The permission bits of a host path (links followed), or -1 when it is missing.
int ModeOf(const std::string& hostPath) {
    struct stat st;
    return stat(hostPath.c_str(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

}  // namespace

using Prefix = PlatformTest;

TEST_F(Prefix, ARelativePrefixIsResolvedOnceAgainstTheCurrentFolder) {
    ASSERT_EQ(mkdir((tmp + "/work").c_str(), 0700), 0);
    ASSERT_EQ(chdir((tmp + "/work").c_str()), 0);
    const std::string work = std::filesystem::current_path().string();
    struct Case {
        const char* given;
        std::string root;
    };
    const Case cases[] = {
        {"rel", work + "/rel"},
        {"./a/../rel/./p/", work + "/rel/p"},
        {"../up", work.substr(0, work.rfind('/')) + "/up"},
        {".", work},
        {"/abs/olute//", "/abs/olute"},
    };
    for (const Case& c : cases) {
        SetPrefixRoot(c.given);
        EXPECT_EQ(PrefixRoot(), c.root) << c.given;
    }

    // The environment's prefix, read when first asked for.
    ASSERT_EQ(setenv("QUILLSTEAD_PREFIX", "from env", 1), 0);
    SetPrefixRoot("");
    EXPECT_EQ(PrefixRoot(), work + "/from env");
    unsetenv("QUILLSTEAD_PREFIX");

    // A prefix set up from a relative path stays where it was once the folder changes.
    SetPrefixRoot("rel");
    FirstStartSetup();
    ASSERT_EQ(chdir(tmp.c_str()), 0);
    EXPECT_EQ(PrefixRoot(), work + "/rel");
    EXPECT_EQ(HostPath("C:\\x"), work + "/rel/dosdevices/c:/x");
    EXPECT_TRUE(IsDirectory("C:\\Program Files\\Quillstead\\Backup Files"));
}

TEST_F(Prefix, WhatTheProgramCreatesIsItsOwnersAlone) {
    const mode_t oldMask = umask(0);
    SetPrefixRoot(tmp + "/new/prefix");
    FirstStartSetup();
    ASSERT_TRUE(SetDriveLink('e', tmp + "/e"));
    std::string refused;
    InstanceLock lock;
    ASSERT_TRUE(lock.Acquire(refused)) << refused;
    ASSERT_TRUE(RegWriteValue("Config2", "0"));  // user.reg rewritten through its temporary

    CFile created;
    ASSERT_TRUE(created.Open("E:\\new.txt", "wb"));
    ASSERT_TRUE(created.Close());
    ASSERT_TRUE(CreateDirectory("E:\\folder"));
    WriteHost(E("open.txt"), "x");
    ASSERT_EQ(chmod(E("open.txt").c_str(), 0754), 0);
    ASSERT_TRUE(CopyFile("E:\\open.txt", "E:\\copy.txt", false));
    umask(oldMask);

    const std::string install = tmp + "/new/prefix/drive_c/Program Files/Quillstead";
    const std::pair<std::string, int> expected[] = {
        {tmp + "/new", 0700},
        {tmp + "/new/prefix", 0700},
        {tmp + "/new/prefix/dosdevices", 0700},
        {tmp + "/new/prefix/drive_c", 0700},
        {tmp + "/new/prefix/drive_c/Program Files", 0700},
        {install, 0700},
        {install + "/Backup Files", 0700},
        {install + "/Changed Files", 0700},
        {install + "/Checking Schedule", 0700},
        {tmp + "/new/prefix/user.reg", 0600},
        {InstanceLockPath(), 0600},
        {E("new.txt"), 0600},
        {E("folder"), 0700},
        {E("copy.txt"), 0754},  // a copy keeps its source's mode (the restore relies on it)
    };
    for (const auto& e : expected) EXPECT_EQ(ModeOf(e.first), e.second) << e.first;
}

TEST_F(Prefix, OneProgramPerPrefix) {
    std::string refused;
    {
        InstanceLock first;
        ASSERT_TRUE(first.Acquire(refused)) << refused;
        EXPECT_TRUE(first.Held());
        EXPECT_EQ(InstanceLockPath(), tmp + "/prefix/quillstead.lock");

        // Another open of the lock file is another program, even in this process.
        InstanceLock second;
        EXPECT_FALSE(second.Acquire(refused));
        EXPECT_FALSE(second.Held());
        EXPECT_EQ(refused, "Quillstead is already running with the prefix " + tmp +
                               "/prefix. Only one Quillstead can use a prefix at a time.");
        // A child process is refused too; another prefix is not.
        EXPECT_EQ(ChildExitCode([] {
                      std::string message;
                      return InstanceLock().Acquire(message) ? 0 : 1;
                  }),
                  1);
        SetPrefixRoot(tmp + "/other");
        InstanceLock other;
        EXPECT_TRUE(other.Acquire(refused)) << refused;
        SetPrefixRoot(tmp + "/prefix");
    }
    // Given up at its end, however the holder ended.
    EXPECT_EQ(ChildExitCode([]() -> int {
                  InstanceLock held;
                  std::string message;
                  _exit(held.Acquire(message) ? 7 : 1);  // no destructor runs
              }),
              7);
    InstanceLock again;
    EXPECT_TRUE(again.Acquire(refused)) << refused;

    // A prefix that cannot be made is refused with the cause.
    WriteHost(tmp + "/file", "");
    SetPrefixRoot(tmp + "/file/prefix");
    InstanceLock blocked;
    EXPECT_FALSE(blocked.Acquire(refused));
    EXPECT_EQ(refused, "Cannot make the folder " + tmp + "/file/prefix: Not a directory");
}
