// Names the program makes or wipes, raced or planted by whoever can write in the folder: a
// symbolic link swapped in at a restore's temporary name right after it was made never
// receives a byte, a hard link left at a stale plaintext name never has its target
// overwritten by the start-up's wipe, and a "Backup File <n>" that is a link is never
// appended through.
#include <unistd.h>

#include <filesystem>

#include "app/MainFrame.h"
#include "platform/File.h"
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

class LinkSafetyTest : public AcceptRestoreFixture {
  protected:
    LinkSafetyTest() { p.WriteFile(kOutside, kPrecious); }
    ~LinkSafetyTest() override { SetStorageStopHook(nullptr); }
    const std::string kOutside = "E:\\outside\\precious.txt";
};

// Links planted at the design's other temporary names are never touched (the copy is
// decrypted where it lies); a link swapped in at ".987654321z" right after the restore made
// it receives nothing: the bytes go to the file the restore made, and as the name no longer
// names that file, the changed file stays where it is.
TEST_F(LinkSafetyTest, ALinkSwappedInAtARestoresTemporaryNameReceivesNothing) {
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

TEST_F(LinkSafetyTest, TheStartUpWipeNeverOverwritesTheTargetOfAHardLink) {
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

TEST_F(LinkSafetyTest, ABackupFileThatIsALinkIsNeverAppendedThrough) {
    BuildThree("N", {"", "", ""});  // empty copies: the backup file holds nothing
    platform::RemoveFile(BackupFilePath());
    ASSERT_EQ(0, symlink(p.Host(kOutside).c_str(), p.Host(BackupFilePath()).c_str()));
    p.WriteFile("E:\\d.txt", "new file");
    view->AddOneFileToDatabase("E:\\d.txt");
    EXPECT_EQ(kPrecious, p.ReadFile(kOutside));
    EXPECT_NE(std::string::npos, p.ui.Events().back().find("Backup File 1"))
        << p.ui.Events().back();
}

}  // namespace
