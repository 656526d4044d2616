// Directory searches: the order without letter case, wildcards, and each entry's attribute
// word, size and times as the host gives them.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <vector>

#include "platform/FindData.h"
#include "tests/platform/PlatformFixture.h"

using namespace platform;

namespace {

std::vector<std::string> Names(const std::string& pattern) {
    std::vector<std::string> names;
    FindFile find;
    WIN32_FIND_DATA data;
    for (bool ok = find.First(pattern, data); ok; ok = find.Next(data)) {
        names.push_back(data.cFileName);
    }
    return names;
}

uint32_t Attributes(const std::string& winPath) {
    WIN32_FIND_DATA data;
    EXPECT_TRUE(GetFindData(winPath, data)) << winPath;
    return data.dwFileAttributes;
}

}  // namespace

using FindData = PlatformTest;

TEST_F(FindData, OrderWithoutLetterCase) {
    for (const char* name : {"b", "A", "c", "a_b", "ab", "B2"}) WriteHost(E(name), "");
    ASSERT_EQ(mkdir(E("Dir").c_str(), 0777), 0);
    // Compared upper-cased, as NTFS lists them: "_" (0x5F) comes after the letters.
    EXPECT_EQ(Names("E:\\*"), (std::vector<std::string>{"A", "ab", "a_b", "b", "B2", "c", "Dir"}));
    EXPECT_EQ(Names("E:\\*.*"), Names("E:\\*"));
    EXPECT_EQ(Names("E:\\B*"), (std::vector<std::string>{"b", "B2"}));
    EXPECT_EQ(Names("E:\\?"), (std::vector<std::string>{"A", "b", "c"}));
    // A name without wildcards is taken exactly, as an open takes it.
    EXPECT_EQ(Names("E:\\Dir"), (std::vector<std::string>{"Dir"}));
    EXPECT_TRUE(Names("E:\\DIR").empty());
    EXPECT_TRUE(Names("E:\\none*").empty());
    EXPECT_TRUE(Names("E:\\").empty());
    EXPECT_TRUE(Names("E:\\missing\\*").empty());
}

TEST_F(FindData, WildcardsAndExtensions) {
    for (const char* name : {"x.txt", "Y.TXT", "z.txt.bak", "txt", "w.tx"}) WriteHost(E(name), "");
    EXPECT_EQ(Names("E:\\*.txt"), (std::vector<std::string>{"x.txt", "Y.TXT"}));
    EXPECT_EQ(Names("E:\\*.tx?"), (std::vector<std::string>{"x.txt", "Y.TXT"}));
    EXPECT_EQ(Names("E:\\*t*x*t*"),
              (std::vector<std::string>{"txt", "x.txt", "Y.TXT", "z.txt.bak"}));
}

TEST_F(FindData, SizesAndTimes) {
    WriteHost(E("f.bin"), std::string(70000, 'x'));
    const struct timespec times[2] = {{86400, 0}, {1234567890, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, E("f.bin").c_str(), times, 0), 0);
    WIN32_FIND_DATA data;
    ASSERT_TRUE(GetFindData("E:\\f.bin", data));
    EXPECT_EQ(data.cFileName, "f.bin");
    EXPECT_EQ(data.Size(), 70000u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(FileTimeToU64(data.ftLastWriteTime), 116444736000000000ull + 12345678901234567ull);
    EXPECT_EQ(FileTimeToU64(data.ftLastAccessTime), 116444736000000000ull + 864000000000ull);
    struct statx stx;
    ASSERT_EQ(statx(AT_FDCWD, E("f.bin").c_str(), 0, STATX_BTIME, &stx), 0);
    if (stx.stx_mask & STATX_BTIME) {
        EXPECT_EQ(FileTimeToU64(data.ftCreationTime),
                  116444736000000000ull + uint64_t(stx.stx_btime.tv_sec) * 10000000 +
                      stx.stx_btime.tv_nsec / 100);
    } else {
        EXPECT_EQ(FileTimeToU64(data.ftCreationTime), 0u);
    }
    EXPECT_FALSE(GetFindData("E:\\absent.bin", data));
}

TEST_F(FindData, AttributesFromModeAndLinks) {
    WriteHost(E("plain"), "12345");
    WriteHost(E("ro"), "");
    ASSERT_EQ(chmod(E("ro").c_str(), 0444), 0);
    ASSERT_EQ(mkdir(E("sub").c_str(), 0777), 0);
    ASSERT_EQ(symlink("plain", E("tofile").c_str()), 0);
    ASSERT_EQ(symlink("sub", E("todir").c_str()), 0);
    ASSERT_EQ(symlink("gone", E("dangling").c_str()), 0);

    EXPECT_EQ(Attributes("E:\\plain"), 0x80u);
    EXPECT_EQ(Attributes("E:\\ro"), 0x01u);
    EXPECT_EQ(Attributes("E:\\sub"), 0x10u);
    EXPECT_EQ(Attributes("E:\\tofile"), 0x400u);
    EXPECT_EQ(Attributes("E:\\todir"), 0x410u);
    EXPECT_EQ(Attributes("E:\\dangling"), 0x400u);
    WIN32_FIND_DATA data;
    ASSERT_TRUE(GetFindData("E:\\tofile", data));
    EXPECT_EQ(data.Size(), 5u);  // what the link points to
    ASSERT_TRUE(GetFindData("E:\\dangling", data));
    EXPECT_EQ(data.Size(), 0u);
    EXPECT_EQ(HostAttributes(E("todir")), 0x410u);
    EXPECT_EQ(HostAttributes(E("nothing")), 0u);
    // Named, every link has its find data; a listing holds only the link to a file.
    EXPECT_EQ(Names("E:\\*"), (std::vector<std::string>{"plain", "ro", "sub", "tofile"}));
}

TEST_F(FindData, DosAttributesFromTheExtendedAttribute) {
    WriteHost(E("h"), "");
    if (setxattr(E("h").c_str(), "user.DOSATTRIB", "0x2", 3, 0) != 0) {
        GTEST_SKIP() << "the temporary file system keeps no user extended attributes";
    }
    EXPECT_EQ(Attributes("E:\\h"), 0x02u);
    // Read-only comes from the mode, directory and others from the host: only hidden,
    // system, archive and not-content-indexed are taken.
    WriteHost(E("all"), "");
    ASSERT_EQ(setxattr(E("all").c_str(), "user.DOSATTRIB", "0x6f37", 6, 0), 0);
    EXPECT_EQ(Attributes("E:\\all"), 0x2026u);
    // The text followed by a zero and more bytes, as Samba writes it.
    WriteHost(E("samba"), "");
    const char blob[] = {'0', 'x', '2', '0', '\0', 3, 0, 3, 0, 0x11, 0};
    ASSERT_EQ(setxattr(E("samba").c_str(), "user.DOSATTRIB", blob, sizeof blob, 0), 0);
    EXPECT_EQ(Attributes("E:\\samba"), 0x20u);
    // Something that is not "0x..." is ignored.
    WriteHost(E("odd"), "");
    ASSERT_EQ(setxattr(E("odd").c_str(), "user.DOSATTRIB", "22", 2, 0), 0);
    EXPECT_EQ(Attributes("E:\\odd"), 0x80u);
    ASSERT_EQ(chmod(E("h").c_str(), 0400), 0);
    EXPECT_EQ(Attributes("E:\\h"), 0x03u);
}
