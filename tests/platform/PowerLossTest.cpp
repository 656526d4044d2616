// A power loss on the simulated disk keeps exactly what a sync made durable (a file's bytes by
// its own sync, a name by its folder's), and the file operations the storage relies on are
// durable when they say they are done: a host file written in one step (into a folder it
// makes), a copy once its folder is synced, a registry value. A full disk fails the write and
// leaves the old file as it was.
#include <cerrno>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/Registry.h"
#include "tests/platform/PlatformFixture.h"
#include "tests/support/SimulatedDisk.h"

namespace {

using PowerLossTest = PlatformTest;

void WriteThrough(const std::string& winPath, const std::string& bytes, bool sync) {
    platform::CFile file;
    ASSERT_TRUE(file.Open(winPath, "wb"));
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
    ASSERT_TRUE(sync ? file.Sync() : file.Flush());
    ASSERT_TRUE(file.Close());
}

TEST_F(PowerLossTest, OnlyWhatASyncMadeDurableSurvives) {
    for (const bool folderSynced : {false, true}) {
        SCOPED_TRACE(folderSynced ? "folder synced" : "folder not synced");
        WriteHost(E("a"), "old a");
        WriteHost(E("c"), "old c");
        unlink(E("b").c_str());
        SimulatedDisk disk(tmp);
        WriteThrough("E:\\a", "new a", false);  // bytes never synced
        WriteThrough("E:\\b", "new b", true);   // a new name
        WriteThrough("E:\\c.new", "new c", true);
        ASSERT_TRUE(platform::ReplaceFile("E:\\c.new", "E:\\c"));
        if (folderSynced) {
            ASSERT_TRUE(platform::SyncFolderOf("E:\\c"));
        }
        disk.PowerLoss();
        EXPECT_EQ(ReadHost(E("a")), "old a");
        EXPECT_EQ(HostExists(E("b")) ? ReadHost(E("b")) : "gone", folderSynced ? "new b" : "gone");
        EXPECT_EQ(ReadHost(E("c")), folderSynced ? "new c" : "old c");
        EXPECT_FALSE(HostExists(E("c.new")));
    }
}

TEST_F(PowerLossTest, DoneMeansDurable) {
    // Each in a folder of its own, so that no sync makes another durable.
    ASSERT_EQ(mkdir(E("copies").c_str(), 0700), 0);
    WriteHost(E("src"), "the source");
    WriteHost(E("copies/dst"), "old target");
    SimulatedDisk disk(tmp);
    ASSERT_TRUE(platform::RegWriteValue("Config99", "kept"));
    const std::string note = E("fresh/note");  // its folder made too
    ASSERT_TRUE(platform::WriteHostFileAtomically(note, "noted"));
    ASSERT_TRUE(platform::CopyFile("E:\\src", "E:\\copies\\dst", false));
    ASSERT_TRUE(platform::SyncFolderOf("E:\\copies\\dst"));
    disk.PowerLoss();
    std::string bytes;
    EXPECT_TRUE(platform::ReadHostFile(note, bytes));
    EXPECT_EQ(bytes, "noted");
    EXPECT_EQ(ReadHost(E("copies/dst")), "the source");
    EXPECT_TRUE(platform::RegReadValue("Config99", bytes));
    EXPECT_EQ(bytes, "kept");
}

TEST_F(PowerLossTest, AFullDiskFailsTheWriteAndKeepsTheOldFile) {
    const std::string note = tmp + "/prefix/note";
    ASSERT_TRUE(platform::WriteHostFileAtomically(note, "old note"));
    SimulatedDisk disk(tmp);
    disk.FailAt(SimulatedDisk::Fault::DiskFull, 1);
    errno = 0;
    EXPECT_FALSE(platform::WriteHostFileAtomically(note, "new note"));
    EXPECT_EQ(errno, ENOSPC);
    platform::CFile file;
    ASSERT_TRUE(file.Open("E:\\x", "wb"));
    EXPECT_FALSE(file.Write(std::string(70000, 'x').data(), 70000));
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(disk.FaultHappened());
    EXPECT_EQ(ReadHost(note), "old note");
    EXPECT_FALSE(HostExists(note + ".tmp"));
}

}  // namespace
