// The folder walk on real trees of a test drive: the order (a folder's entries in search
// order, then its subfolders, each completely), names beginning with '.', chains deeper than
// ten levels, links to folders and dangling links neither listed nor followed, no devices,
// pipes or sockets, the folder table's bounds, the start folders of a location, a stop, and
// the kernel's pseudo file systems.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "criteria/FolderWalk.h"
#include "platform/Drives.h"
#include "platform/FileSystems.h"
#include "platform/Prefix.h"
#include "tests/support/TempPrefix.h"
#include "tests/support/TestTree.h"

namespace {

// Records what the walk hands over: "search <folder>" and each entry's path, a folder's
// with a trailing "/"; stops at the entry numbered `stopAt` (from 1) when given.
class Recorder : public FolderWalkVisitor {
  public:
    std::vector<std::string> seen;
    std::vector<uint32_t> attributes;
    int stopAt = 0;

    void Searching(const std::string& folder) override { seen.push_back("search " + folder); }
    bool Entry(const WalkEntry& entry) override {
        seen.push_back(entry.Path() + (entry.isFolder ? "/" : ""));
        attributes.push_back(entry.find.dwFileAttributes);
        return stopAt == 0 || int(attributes.size()) < stopAt;
    }
};

class FolderWalkTest : public ::testing::Test {
  protected:
    TempPrefix prefix;
};

}  // namespace

TEST_F(FolderWalkTest, FilesComeBeforeSubfoldersEachWalkedWholeAndDotFoldersAreNotEntered) {
    MakeTestFiles(prefix, {"E:\\w\\b.txt", "E:\\w\\A.txt", "E:\\w\\.hidden.txt", "E:\\w\\z\\y.txt",
                           "E:\\w\\m\\x.txt", "E:\\w\\m\\n\\deep.txt", "E:\\w\\.cache\\c.txt"});
    Recorder r;
    EXPECT_EQ(WalkFolderTree("E:\\w\\", r), WalkResult::Walked);
    EXPECT_EQ(r.seen, (std::vector<std::string>{
                          "search E:\\w\\", "E:\\w\\.cache/", "E:\\w\\.hidden.txt", "E:\\w\\A.txt",
                          "E:\\w\\b.txt", "E:\\w\\m/", "E:\\w\\z/", "search E:\\w\\m\\",
                          "E:\\w\\m\\n/", "E:\\w\\m\\x.txt", "search E:\\w\\m\\n\\",
                          "E:\\w\\m\\n\\deep.txt", "search E:\\w\\z\\", "E:\\w\\z\\y.txt"}));
}

TEST_F(FolderWalkTest, ChainsOfAnyDepthAreWalkedAndTheSiblingAfterThem) {
    for (int depth : {9, 10, 40}) {
        const std::string top = "E:\\c" + std::to_string(depth);
        std::string chain = top;
        for (int i = 1; i <= depth; ++i) chain += "\\" + std::to_string(i % 10);
        MakeTestFiles(prefix, {chain + "\\f.txt", top + "\\s\\g.txt"});
        Recorder r;
        EXPECT_EQ(WalkFolderTree(top + "\\", r), WalkResult::Walked);
        ASSERT_GE(r.seen.size(), 2u);
        EXPECT_EQ(r.seen[r.seen.size() - 3], chain + "\\f.txt") << depth;
        EXPECT_EQ(r.seen.back(), top + "\\s\\g.txt") << depth;
    }
}

TEST_F(FolderWalkTest, OnlyLinksToFilesAreListedAndPipesAndSocketsAreNot) {
    MakeTestFiles(prefix, {"E:\\l\\real\\r.txt"});
    MakeLink(prefix, "E:\\l\\dirlink", prefix.Host("E:\\l\\real"));
    MakeLink(prefix, "E:\\l\\real\\up", "..");  // a loop, were links followed
    MakeLink(prefix, "E:\\l\\real\\tofile", "r.txt");
    MakeLink(prefix, "E:\\l\\gone", prefix.Host("E:\\l\\nothing"));
    MakeLink(prefix, "E:\\l\\topipe", "fifo");
    ASSERT_EQ(mkfifo(prefix.Host("E:\\l\\fifo").c_str(), 0600), 0);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = prefix.Host("E:\\l\\sock");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    Recorder r;
    EXPECT_EQ(WalkFolderTree("E:\\l\\", r), WalkResult::Walked);
    close(s);
    EXPECT_EQ(r.seen,
              (std::vector<std::string>{"search E:\\l\\", "E:\\l\\real/", "search E:\\l\\real\\",
                                        "E:\\l\\real\\r.txt", "E:\\l\\real\\tofile"}));
    EXPECT_EQ(r.attributes.back(), 0x400u);  // the link to a file, sized as its file
}

// "E:\\b\\mnt\\" stands for a mount of "E:\\b\\a\\" at a second place: it has that folder's
// identity.
bool MountedTwice(const std::string& winPath, bool throughLink, platform::FolderId& id) {
    const bool mount = winPath == "E:\\b\\mnt\\";
    return platform::GetFolderId(mount ? "E:\\b\\a\\" : winPath, throughLink, id);
}

// A folder reached at two places is walked once, at the first; so is a start folder reached
// by an earlier start folder of the same walk, and the prefix is never entered.
TEST_F(FolderWalkTest, AFolderReachedTwiceIsWalkedOnceAndThePrefixNever) {
    MakeTestFiles(prefix, {"E:\\b\\a\\x.txt", "E:\\b\\mnt\\x.txt", "E:\\b\\z\\y.txt"});
    const auto previous = FolderWalk::SetFolderIdProbe(MountedTwice);
    FolderWalk walk;
    Recorder r;
    EXPECT_EQ(walk.Walk("E:\\b\\", r), WalkResult::Walked);
    EXPECT_EQ(walk.Walk("E:\\b\\z\\", r), WalkResult::NotSearched);
    FolderWalk::SetFolderIdProbe(previous);
    EXPECT_EQ(r.seen, (std::vector<std::string>{"search E:\\b\\", "E:\\b\\a/", "E:\\b\\mnt/",
                                                "E:\\b\\z/", "search E:\\b\\a\\", "E:\\b\\a\\x.txt",
                                                "search E:\\b\\z\\", "E:\\b\\z\\y.txt"}));

    // Drive F: holds the prefix and the test's drive E:.
    ASSERT_TRUE(platform::SetDriveLink('f', prefix.root));
    MakeTestFiles(prefix, {"F:\\top.txt"});
    Recorder all;
    FolderWalk drives;
    for (const char* start : {"C:\\", "E:\\", "F:\\", "F:\\prefix\\"}) drives.Walk(start, all);
    for (const std::string& seen : all.seen) {
        EXPECT_NE(seen.compare(0, 3, "C:\\"), 0) << seen;
        EXPECT_EQ(seen.find("prefix\\"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("F:\\e\\"), std::string::npos) << seen;
    }
    EXPECT_NE(std::find(all.seen.begin(), all.seen.end(), "F:\\top.txt"), all.seen.end());
}

TEST_F(FolderWalkTest, TheFolderTableHasItsBoundsIncluded) {
    const struct {
        uint32_t value;
        bool folder;
    } kCases[] = {
        {0x10, true},   {0x17, true},    {0x18, false},   {0x2f, false},   {0x30, true},
        {0x37, true},   {0x38, false},   {0x90, false},   {0x410, false},  {0x80f, false},
        {0x810, true},  {0x837, true},   {0x2013, true},  {0x2014, false}, {0x2030, true},
        {0x2038, true}, {0x2039, false}, {0x2813, true},  {0x2814, false}, {0x2837, true},
        {0x4013, true}, {0x4014, false}, {0x4033, true},  {0x4034, false}, {0x6010, true},
        {0x6033, true}, {0x6037, false}, {0x4810, false}, {0x80, false},   {0x20, false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(WalkEntryIsFolder(c.value), c.folder) << std::hex << c.value;
}

TEST_F(FolderWalkTest, LocationsAndTheirStartFolders) {
    std::vector<std::string> starts;
    std::string start;
    Locations all("*");
    EXPECT_TRUE(all.AllDrives());
    while (all.Next(start)) starts.push_back(start);
    ASSERT_EQ(starts.size(), 26u);
    EXPECT_EQ(starts.front(), "A:\\");
    EXPECT_EQ(starts.back(), "Z:\\");

    for (const std::string& location : {std::string("E:\\x"), std::string("E:\\x\\")}) {
        Locations one(location);
        EXPECT_FALSE(one.AllDrives());
        ASSERT_TRUE(one.Next(start));
        EXPECT_EQ(start, "E:\\x\\");
        EXPECT_FALSE(one.Next(start));
    }
    Locations none("");
    EXPECT_FALSE(none.Next(start));
}

TEST_F(FolderWalkTest, AStopEndsTheWalkAndAnEmptyOrMissingFolderIsNotSearched) {
    MakeTestFiles(prefix, {"E:\\s\\a", "E:\\s\\b", "E:\\s\\c\\d"});
    Recorder r;
    r.stopAt = 2;
    EXPECT_EQ(WalkFolderTree("E:\\s\\", r), WalkResult::Stopped);
    EXPECT_EQ(r.seen, (std::vector<std::string>{"search E:\\s\\", "E:\\s\\a", "E:\\s\\b"}));

    MakeTestFolder(prefix, "E:\\empty");
    Recorder empty;
    EXPECT_EQ(WalkFolderTree("E:\\empty\\", empty), WalkResult::NotSearched);
    EXPECT_EQ(WalkFolderTree("E:\\missing\\", empty), WalkResult::NotSearched);
    EXPECT_EQ(WalkFolderTree("Q:\\", empty), WalkResult::NotSearched);
    EXPECT_TRUE(empty.seen.empty());
}

TEST_F(FolderWalkTest, TheKernelsPseudoFileSystemsAreNeverEntered) {
    platform::FolderId id;
    ASSERT_TRUE(platform::GetFolderId("Z:\\proc\\", false, id));
    EXPECT_TRUE(platform::OnKernelFileSystem(id));
    ASSERT_TRUE(platform::GetFolderId(prefix.BackupDir(), true, id));
    EXPECT_FALSE(platform::OnKernelFileSystem(id));
    for (const char* type : {"proc", "sysfs", "devtmpfs", "cgroup2", "autofs", "mqueue"})
        EXPECT_TRUE(platform::IsKernelFileSystemType(type)) << type;
    for (const char* type : {"ext4", "tmpfs", "xfs", "nfs", "overlay"})
        EXPECT_FALSE(platform::IsKernelFileSystemType(type)) << type;

    // A start folder on one is not searched.
    ASSERT_TRUE(platform::SetDriveLink('p', "/proc"));
    Recorder r;
    EXPECT_EQ(WalkFolderTree("P:\\", r), WalkResult::NotSearched);
    EXPECT_TRUE(r.seen.empty());

    // A folder whose subfolders are such mounts (where the machine has one that is not
    // itself on a pseudo file system) is walked without entering them.
    std::ifstream mounts("/proc/self/mountinfo");
    std::string line;
    bool found = false;
    while (!found && std::getline(mounts, line)) {
        std::istringstream fields(line);
        std::string f[5], word, type;
        for (std::string& x : f) fields >> x;
        while (fields >> word && word != "-") {
        }
        fields >> type;
        const size_t slash = f[4].rfind('/');
        if (!platform::IsKernelFileSystemType(type) || slash == std::string::npos || slash == 0)
            continue;
        platform::FolderId above;
        found = platform::SetDriveLink('k', f[4].substr(0, slash)) &&
                platform::GetFolderId("K:\\", true, above) && !platform::OnKernelFileSystem(above);
    }
    if (!found)
        GTEST_SKIP() << "no folder holding a pseudo file system's mount to walk";
    Recorder k;
    k.stopAt = 10000;
    WalkFolderTree("K:\\", k);
    EXPECT_FALSE(k.seen.empty());
    for (const std::string& s : k.seen) {
        if (s.compare(0, 7, "search ") != 0 || s == "search K:\\")
            continue;
        platform::FolderId sub;
        ASSERT_TRUE(platform::GetFolderId(s.substr(7), false, sub));
        EXPECT_FALSE(platform::OnKernelFileSystem(sub)) << s;
    }
}
