// The progress dialogs' models over the scripted seam.
#include <gtest/gtest.h>

#include "app/ProgressDialogs.h"
#include "tests/support/ScriptedUi.h"

namespace {

class ProgressDialog : public ::testing::Test {
  protected:
    void SetUp() override { SetUi(&ui); }
    void TearDown() override { SetUi(nullptr); }
    ScriptedUi ui;
};

TEST_F(ProgressDialog, PositionStaysWithinTheRange) {
    CAddProgressDlg dlg;
    dlg.Create();
    EXPECT_TRUE(ui.progressOpen);
    dlg.SetPos(70000);
    EXPECT_EQ(dlg.GetPos(), 65000);
    EXPECT_EQ(ui.progressPos, 65000);
    dlg.OffsetPos(10);
    EXPECT_EQ(ui.progressPos, 65000);
    dlg.SetPos(-5);
    EXPECT_EQ(ui.progressPos, 0);
    dlg.OffsetPos(650);
    dlg.OffsetPos(650);
    EXPECT_EQ(ui.progressPos, 1300);
    dlg.OffsetPos(-2000);
    EXPECT_EQ(dlg.GetPos(), 0);
    dlg.OffsetPos(2147483647);
    EXPECT_EQ(dlg.GetPos(), 65000);
}

TEST_F(ProgressDialog, FirstTitleIsTheProgressEvent) {
    CAddProgressDlg dlg;
    dlg.Create();
    EXPECT_TRUE(ui.Events().empty());
    dlg.SetWindowText("Adding files by attributes...");
    dlg.SetWindowText("Adding files by attributes (2)...");
    dlg.SetItemText(1005, "E:\\a.txt");
    ASSERT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(ui.Events()[0], R"({"event":"progress","caption":"Adding files by attributes..."})");
    EXPECT_EQ(ui.progressTitle, "Adding files by attributes (2)...");
    EXPECT_EQ(ui.progressTexts[1005], "E:\\a.txt");
}

TEST_F(ProgressDialog, CancelAtTheScriptedPollOnce) {
    ui.AddScriptLine(R"({"cancel_at_poll":3})");
    CCheckProgressDlg dlg;
    dlg.Create();
    std::vector<int> polls;
    for (int i = 0; i < 5; ++i) polls.push_back(dlg.CheckCancelButton());
    EXPECT_EQ(polls, (std::vector<int>{0, 0, 1, 0, 0}));
    EXPECT_EQ(ui.progressPolls, 5);

    // The answer belonged to that dialog only.
    CCheckProgressDlg next;
    next.Create();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(next.CheckCancelButton(), 0);
}

TEST_F(ProgressDialog, CloseAndDestructorCloseTheWindow) {
    {
        CAddProgressDlg dlg;
        dlg.Create();
        EXPECT_TRUE(dlg.IsOpen());
        dlg.Close();
        EXPECT_FALSE(dlg.IsOpen());
        EXPECT_FALSE(ui.progressOpen);
        EXPECT_EQ(dlg.CheckCancelButton(), 0);
        dlg.SetPos(10);  // no window: nothing happens
        dlg.Create();
        EXPECT_TRUE(ui.progressOpen);
    }
    EXPECT_FALSE(ui.progressOpen);
}

}  // namespace
