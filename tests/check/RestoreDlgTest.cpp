// The model of "File restore from backup." and the status-bar progress scaling of the
// restore's copy loops.
#include <gtest/gtest.h>

#include "app/Settings.h"
#include "check/ProgressScale.h"
#include "check/RestoreDlg.h"
#include "tests/support/TempPrefix.h"

namespace {

TEST(RestoreDlgTest, OpensOnMoveAsideWithTheFramesIconAndHelpTopic) {
    TempPrefix p;
    CRestoreDlg dialog(&p.frame);
    EXPECT_EQ(298, dialog.TemplateId());
    EXPECT_EQ(1, dialog.m_restoreMode);
    EXPECT_EQ("", dialog.m_pathLine1 + dialog.m_pathLine2 + dialog.m_pathLine3);

    p.frame.m_changedFileIcon.themeName = "text-x-generic";
    EXPECT_EQ(p.frame.m_changedFileIcon, dialog.ControlIcon(CRestoreDlg::IDC_FILE_ICON));
    EXPECT_TRUE(dialog.ControlIcon(CRestoreDlg::IDC_BITMAP_FRAME).IsNull());

    p.SetReg(settings::kInstallDir, "C:\\Program Files\\Quillstead\\");
    dialog.OnCommand(CRestoreDlg::IDC_HELP_BUTTON);
    ASSERT_EQ(1u, p.ui.Events().size());
    EXPECT_EQ(
        "{\"event\":\"help\",\"text\":\"C:\\\\Program Files\\\\Quillstead\\\\Quillstead.chm::/"
        "filechanges.html>Main\"}",
        p.ui.Events()[0]);
}

TEST(RestoreDlgTest, ScriptSetsTheModeThroughTheExchange) {
    TempPrefix p;
    CRestoreDlg dialog(&p.frame);
    dialog.m_pathLine1 = "E:\\a.txt";
    p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})");
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(0, dialog.m_restoreMode);
    EXPECT_EQ("E:\\a.txt", dialog.m_pathLine1);
}

// The bands keep every total within the bar's 16-bit range: a bound goes with the band
// above it, and the bands go on beyond 650,000,000 units.
TEST(RestoreProgressScaleTest, BandsKeepTheTotalWithinTheBar) {
    struct Case {
        unsigned long n, total, step;
    };
    const Case cases[] = {
        {0, 0, 1},
        {512, 512, 1},
        {65000, 65000, 1},
        {65001, 6500, 10},
        {649999, 64999, 10},
        {650000, 6500, 100},
        {650001, 6500, 100},
        {6500000, 6500, 1000},
        {6500001, 6500, 1000},
        {65000000, 6500, 10000},
        {65000001, 6500, 10000},
        {649999999, 64999, 10000},
        {650000000, 6500, 100000},
        {4294967295UL, 42949, 100000},
        {6499999999UL, 64999, 100000},
        {6500000000UL, 6500, 1000000},
        {~0UL, 18446, 1000000000000000UL},
    };
    for (const Case& c : cases) {
        const ProgressScale scale = ScaleProgress(c.n);
        EXPECT_EQ(c.total, scale.total) << c.n;
        EXPECT_EQ(c.step, scale.step) << c.n;
    }
}

TEST(RestoreProgressScaleTest, LengthsAreCutToWholeUnits) {
    EXPECT_EQ(512u, WholeUnits(512.00));
    EXPECT_EQ(0u, WholeUnits(-3));
    EXPECT_EQ(7u, WholeUnits(7.99));
    EXPECT_EQ(~0UL, WholeUnits(1e300));
}

}  // namespace
