// Why an open fails (the causes, the names after "\nReason: " and the framework's text),
// the locks between opens and between processes, and the plain file operations.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/File.h"
#include "platform/FileException.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

using FileErrors = PlatformTest;

TEST(FileErrorNames, TableAndFrameworkText) {
    const char* const expected[] = {"None.",
                                    "Generic.",
                                    "FileNotFound.",
                                    "BadPath.",
                                    "TooManyOpenFiles.",
                                    "AccessDenied.",
                                    "InvalidFile.",
                                    "RemoveCurrentDir.",
                                    "DirectoryFull.",
                                    "BadSeek.",
                                    "No media in the disk drive.",
                                    "SharingViolation. ",
                                    "LockViolation.",
                                    "DiskFull.",
                                    "EndOfFile."};
    for (int i = 0; i < 15; ++i) EXPECT_STREQ(FileErrorName(i), expected[i]) << i;
    EXPECT_STREQ(FileErrorName(15), "Generic.");
    EXPECT_STREQ(FileErrorName(-1), "Generic.");
    const CFileException e(CFileException::sharingViolation, "C:\\Data\\a.qdb");
    EXPECT_EQ(FrameworkFileErrorText(e),
              "Cannot access the file C:\\Data\\a.qdb.\nReason: SharingViolation. ");
    EXPECT_STREQ(e.what(), "Cannot access the file C:\\Data\\a.qdb.\nReason: SharingViolation. ");
}

TEST(FileErrorNames, CausesFromErrno) {
    EXPECT_EQ(CFileException::CauseFromErrno(0), CFileException::none);
    EXPECT_EQ(CFileException::CauseFromErrno(ENOENT), CFileException::fileNotFound);
    EXPECT_EQ(CFileException::CauseFromErrno(ENAMETOOLONG), CFileException::badPath);
    EXPECT_EQ(CFileException::CauseFromErrno(EMFILE), CFileException::tooManyOpenFiles);
    EXPECT_EQ(CFileException::CauseFromErrno(EACCES), CFileException::accessDenied);
    EXPECT_EQ(CFileException::CauseFromErrno(EROFS), CFileException::accessDenied);
    EXPECT_EQ(CFileException::CauseFromErrno(EISDIR), CFileException::accessDenied);
    EXPECT_EQ(CFileException::CauseFromErrno(EWOULDBLOCK), CFileException::sharingViolation);
    EXPECT_EQ(CFileException::CauseFromErrno(ENOSPC), CFileException::diskFull);
    EXPECT_EQ(CFileException::CauseFromErrno(EDQUOT), CFileException::diskFull);
    EXPECT_EQ(CFileException::CauseFromErrno(ENOMEDIUM), CFileException::hardIO);
    EXPECT_EQ(CFileException::CauseFromErrno(EIO), CFileException::genericException);
}

TEST_F(FileErrors, OpenCauses) {
    ASSERT_EQ(mkdir(E("folder").c_str(), 0777), 0);
    WriteHost(E("file"), "x");
    const struct {
        std::string path;
        const char* mode;
        int cause;
    } cases[] = {{"E:\\missing.txt", "rb", CFileException::fileNotFound},
                 {"E:\\folder", "rb", CFileException::accessDenied},
                 {"E:\\folder", "r+b", CFileException::accessDenied},
                 {"E:\\file\\below.txt", "rb", CFileException::badPath},
                 {"E:\\" + std::string(300, 'n'), "rb", CFileException::badPath}};
    CFile f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.substr(0, 30) + " " + c.mode);
        int cause = -1;
        EXPECT_FALSE(f.Open(c.path, c.mode, Share::DenyNone, &cause));
        EXPECT_EQ(cause, c.cause);
        EXPECT_FALSE(f.IsOpen());
    }

    try {
        f.OpenOrThrow("E:\\missing.txt", "r");
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, "E:\\missing.txt");
    }
}

TEST_F(FileErrors, UnreadableFileIsAccessDenied) {
    WriteHost(E("secret"), "x");
    ASSERT_EQ(chmod(E("secret").c_str(), 0), 0);
    ASSERT_EQ(chmod(tmp.c_str(), 0755), 0);
    // Permissions do not bind root, so the open is tried by an ordinary user.
    EXPECT_EQ(ChildExitCode([] {
                  if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                      return 3;
                  CFile f;
                  int cause = -1;
                  const bool opened = f.Open("E:\\secret", "rb", Share::DenyNone, &cause);
                  return !opened && cause == CFileException::accessDenied ? 0 : 1;
              }),
              0);
}

TEST_F(FileErrors, LockedByAnotherProcessIsASharingViolation) {
    WriteHost(E("locked.qdb"), "keep");
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        CFile f;
        const char ok = f.Open("E:\\locked.qdb", "rb", Share::DenyAll) ? 'y' : 'n';
        if (write(ready[1], &ok, 1) != 1)
            _exit(2);
        char c;
        if (read(release[0], &c, 1) != 1)
            _exit(2);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');

    CFile f;
    int cause = -1;
    EXPECT_FALSE(f.Open("E:\\locked.qdb", "rb", Share::DenyNone, &cause));
    EXPECT_EQ(cause, CFileException::sharingViolation);
    // A refused "w" open leaves the bytes alone.
    EXPECT_FALSE(f.Open("E:\\locked.qdb", "wb", Share::DenyAll, &cause));
    EXPECT_EQ(ReadHost(E("locked.qdb")), "keep");
    try {
        f.OpenOrThrow("E:\\locked.qdb", "rb");
        ADD_FAILURE() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot access the file E:\\locked.qdb.\nReason: SharingViolation. ");
    }
    EXPECT_FALSE(CopyFile("E:\\locked.qdb", "E:\\copy.qdb", true));
    EXPECT_EQ(LastFileErrorCause(), CFileException::sharingViolation);

    ASSERT_EQ(write(release[1], "x", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(f.Open("E:\\locked.qdb", "rb", Share::DenyNone, &cause));
    for (int fd : {ready[0], ready[1], release[0], release[1]}) close(fd);
}

TEST_F(FileErrors, LocksWithinOneProcess) {
    WriteHost(E("w.qdb"), "x");
    CFile shared1, shared2, exclusive;
    int cause = -1;
    ASSERT_TRUE(shared1.Open("E:\\w.qdb", "rb"));
    ASSERT_TRUE(shared2.Open("E:\\w.qdb", "rb"));
    EXPECT_FALSE(exclusive.Open("E:\\w.qdb", "r+b", Share::DenyAll, &cause));
    EXPECT_EQ(cause, CFileException::sharingViolation);
    shared1.Close();
    shared2.Close();
    ASSERT_TRUE(exclusive.Open("E:\\w.qdb", "r+b", Share::DenyAll));
    EXPECT_FALSE(shared1.Open("E:\\w.qdb", "rb", Share::DenyNone, &cause));
    EXPECT_EQ(cause, CFileException::sharingViolation);
    exclusive.Close();
    EXPECT_TRUE(shared1.Open("E:\\w.qdb", "rb"));
}

TEST_F(FileErrors, RenameNeverReplacesButReplaceDoes) {
    WriteHost(E("a"), "A");
    WriteHost(E("b"), "B");
    EXPECT_FALSE(RenameFile("E:\\a", "E:\\b"));
    EXPECT_EQ(LastFileErrorCause(), CFileException::accessDenied);
    EXPECT_EQ(ReadHost(E("a")), "A");
    EXPECT_EQ(ReadHost(E("b")), "B");
    EXPECT_TRUE(RenameFile("E:\\a", "E:\\c"));
    EXPECT_FALSE(HostExists(E("a")));
    EXPECT_EQ(ReadHost(E("c")), "A");
    EXPECT_TRUE(ReplaceFile("E:\\c", "E:\\b"));
    EXPECT_EQ(ReadHost(E("b")), "A");
    EXPECT_FALSE(HostExists(E("c")));
    EXPECT_FALSE(RenameFile("E:\\none", "E:\\d"));
    EXPECT_EQ(LastFileErrorCause(), CFileException::fileNotFound);
}

TEST_F(FileErrors, CopyKeepsTimesAndLeavesNothingBehind) {
    WriteHost(E("src"), "source bytes");
    const struct timespec times[2] = {{1000000000, 0}, {1234567890, 500}};
    ASSERT_EQ(utimensat(AT_FDCWD, E("src").c_str(), times, 0), 0);
    WriteHost(E("dst"), "old");
    EXPECT_FALSE(CopyFile("E:\\src", "E:\\dst", true));
    EXPECT_EQ(ReadHost(E("dst")), "old");
    EXPECT_TRUE(CopyFile("E:\\src", "E:\\dst", false));
    EXPECT_EQ(ReadHost(E("dst")), "source bytes");
    EXPECT_TRUE(CopyFile("E:\\src", "E:\\new", true));
    struct stat st;
    ASSERT_EQ(stat(E("new").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1234567890);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500);
    EXPECT_FALSE(CopyFile("E:\\absent", "E:\\other", false));
    EXPECT_EQ(LastFileErrorCause(), CFileException::fileNotFound);
    EXPECT_FALSE(HostExists(E("other")));
    // Only src, dst and new: no temporary copy was left behind.
    EXPECT_EQ(system(("test $(ls -A '" + tmp + "/e' | wc -l) -eq 3").c_str()), 0);
}

TEST_F(FileErrors, ExistsFoldersAndRemove) {
    EXPECT_TRUE(CreateDirectory("E:\\d"));
    EXPECT_FALSE(CreateDirectory("E:\\d"));
    EXPECT_TRUE(IsDirectory("E:\\d"));
    EXPECT_TRUE(FileExists("E:\\d"));
    WriteHost(E("d/f.txt"), "f");
    EXPECT_FALSE(IsDirectory("E:\\d\\f.txt"));
    EXPECT_FALSE(RemoveFile("E:\\d"));
    EXPECT_TRUE(IsDirectory("E:\\d"));
    EXPECT_TRUE(RemoveFile("E:\\d\\f.txt"));
    EXPECT_FALSE(FileExists("E:\\d\\f.txt"));
    EXPECT_FALSE(RemoveFile("E:\\d\\f.txt"));
    EXPECT_EQ(LastFileErrorCause(), CFileException::fileNotFound);
}
