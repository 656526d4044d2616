// Cancel in "Adding files.": during a file's digest, then "Would you like to keep the files
// added before you pressed Cancel?" answered Yes (what was added stays; the interrupted file
// leaves nothing) or No (the database goes back to the records it held before the run, even
// those stored every few hundred files; the backup copies made stay).
#include <unistd.h>

#include <string>
#include <vector>

#include "storage/StopPoints.h"
#include "tests/add/WalkAddFixture.h"

namespace {

// Counts the stores; each copy takes a millisecond at least, so a store comes on the way
// however fast the machine is (it waits for 300 files and a quarter of a second).
int g_commits = 0;
void CountCommits(const char* where) {
    if (std::string(where) == "committed")
        ++g_commits;
    if (std::string(where) == "copy appended")
        usleep(1000);
}

class WalkAddCancelTest : public WalkAddFixture {
  protected:
    void SetUp() override {
        WalkAddFixture::SetUp();
        prefix.WriteFile("E:\\before.txt", "before");
        view.OnDropFiles({"E:\\before.txt"});
        beforeIndex = BackupIndexPlain();
        prefix.ui.ClearEvents();
    }
    std::string beforeIndex;
    const std::string kQuestion =
        "Would you like to keep the files added before you pressed Cancel?";
};

}  // namespace

TEST_F(WalkAddCancelTest, CancelDuringADigestThenNoTakesTheRunsRecordsOut) {
    prefix.WriteFile("E:\\k\\a.txt", Pattern(100));
    prefix.WriteFile("E:\\k\\b.bin", Pattern(6400));
    prefix.WriteFile("E:\\k\\c.txt", "c");
    Choose("E:\\k");
    // Polls: a.txt, its one piece, b.bin, then b.bin's 100 pieces.
    prefix.ui.AddScriptLine("{\"cancel_at_poll\":50,\"progress\":\"CAddProgressDlg\"}");
    prefix.ui.AddScriptLine("{\"messagebox\":\"no\"}");
    Run();
    EXPECT_EQ(prefix.ui.Events().back(), BoxEvent(kQuestion, "exclamation", "yesno", "no"));
    EXPECT_EQ(prefix.ui.progressDialogs.back().polls, 50);
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\before.txt"}));
    EXPECT_EQ(view.m_recordCount, 1);
    EXPECT_EQ(Refills(), 2);  // the drop's, and the one after the cancel
    EXPECT_FALSE(prefix.ui.progressOpen);
    // The copy of a.txt made in the run stays; b.bin's, cut short, left nothing.
    EXPECT_EQ(BackupIndexPlain(),
              beforeIndex + ExpectedEntry("E:\\k\\a.txt", "N", "112.00", "100"));
    EXPECT_EQ(BackupFileBytes().size(), 16u + 112u);
    ExpectDigestRefreshed();
    ExpectNothingLeftBehind();
}

TEST_F(WalkAddCancelTest, YesKeepsWhatWasAddedBeforeTheCancel) {
    prefix.WriteFile("E:\\k\\a.txt", Pattern(100));
    prefix.WriteFile("E:\\k\\b.bin", Pattern(6400));
    Choose("E:\\k");
    prefix.ui.AddScriptLine("{\"cancel_at_poll\":4,\"progress\":\"CAddProgressDlg\"}");
    Run();
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\before.txt", "E:\\k\\a.txt"}));
    EXPECT_EQ(BackupIndexPlain(),
              beforeIndex + ExpectedEntry("E:\\k\\a.txt", "N", "112.00", "100"));
    EXPECT_EQ(BackupFileBytes().size(), 16u + 112u);
    EXPECT_EQ(DecryptCopy(16, 112, 100), Pattern(100));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{kQuestion}));
    // No backup database is made after a cancel.
    EXPECT_NE(prefix.ReadFile("C:\\Data\\Files~.db"), prefix.ReadFile(kDatabase));
}

TEST_F(WalkAddCancelTest, NoUndoesRecordsAlreadyStoredOnTheWay) {
    for (int i = 0; i < 600; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "E:\\many\\f%03d", i);
        prefix.WriteFile(name, "1");
    }
    Choose("E:\\many");
    // One poll per entry (a one-byte file has no whole piece): cancel at the 560th file.
    prefix.ui.AddScriptLine("{\"cancel_at_poll\":560,\"progress\":\"CAddProgressDlg\"}");
    prefix.ui.AddScriptLine("{\"messagebox\":\"no\"}");
    g_commits = 0;
    SetStorageStopHook(CountCommits);
    Run();
    SetStorageStopHook(nullptr);
    EXPECT_GE(g_commits, 3);  // on the way, the store at the cancel, and the undo
    EXPECT_EQ(RecordPaths(), (std::vector<std::string>{"E:\\before.txt"}));
    EXPECT_EQ(BackupFileBytes().size(), 16u + 559u * 16u);
    ExpectDigestRefreshed();
}
