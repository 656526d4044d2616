// The pre-scan of the add by attributes, through the scripted seam on a real database: what
// it counts (files not listed, their bytes, files listed already), the dialog shown again
// after a refused location, the three ways to cancel it, the free-space question with the
// copies' sizes, the drives "*" cannot search, and a database changed behind its back.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/NoDatabaseView.h"
#include "app/Settings.h"
#include "criteria/Prescan.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/Prefix.h"
#include "tests/support/AddEvents.h"
#include "tests/support/TempPrefix.h"
#include "tests/support/TestTree.h"

namespace {

uint64_t g_free = 0;
bool FixedFreeSpace(const std::string&, uint64_t& bytes) {
    bytes = g_free;
    return true;
}

class PrescanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prefix.SetReg("Backup\\Backup Files Directory", prefix.BackupDir());
        prefix.SetReg("Config5", "1");
        prefix.SetReg("Config17", "N");
        ASSERT_TRUE(platform::CreateDirectory("C:\\Data"));
        ASSERT_TRUE(noDatabase.CreateDatabase(kDatabase));
        ASSERT_TRUE(view.OpenDatabase(kDatabase));
        MakeTestFiles(prefix, {"E:\\p\\a.txt"}, "12345");
        MakeTestFiles(prefix, {"E:\\p\\b.txt", "E:\\p\\.dot"}, "0123456789");
        MakeTestFiles(prefix, {"E:\\p\\sub\\c.bin"}, std::string(100, 'c'));
        MakeTestFiles(prefix, {"E:\\p\\sub\\h.txt"}, "hid");
        SetDosAttributes(prefix, "E:\\p\\sub\\h.txt", 0x2);
        view.OnDropFiles({"E:\\p\\b.txt"});
        previousProbe = ::Prescan::SetFreeSpaceProbe(FixedFreeSpace);
        g_free = uint64_t(1) << 40;
        prefix.ui.ClearEvents();
    }
    void TearDown() override { ::Prescan::SetFreeSpaceProbe(previousProbe); }

    // One pre-scan, as one command runs it (with its own settings), its dialog answered with
    // the location and boxes when one is given; the events it showed.
    const std::vector<std::string>& Prescan(const char* location = nullptr,
                                            const char* boxes = kAnyBoxes) {
        prefix.ui.ClearEvents();
        if (location)
            prefix.ui.AddScriptLine(AttributesAnswer(location, boxes));
        Settings settings;
        view.PrescanAddByAttributes(settings);
        return prefix.ui.Events();
    }

    const std::string kDatabase = "C:\\Data\\Files.db";
    TempPrefix prefix;
    CCNoflview noDatabase{prefix.frame};
    CListview view{prefix.frame};
    ::Prescan::FreeSpaceFn previousProbe = nullptr;
};

}  // namespace

TEST_F(PrescanTest, CountsTheMatchingFilesNotListedTheirBytesAndThoseListed) {
    EXPECT_EQ(Prescan("E:\\p"),
              (std::vector<std::string>{AttributesDialogEvent(), kSearchingEvent}));
    EXPECT_EQ(view.m_prescanCancelled, 0);
    EXPECT_EQ(view.m_foundCount, 3);  // a.txt, c.bin, h.txt; never .dot
    EXPECT_EQ(view.m_listedCount, 1);
    EXPECT_EQ(view.m_bytesToAdd, 108);
    EXPECT_EQ(view.m_foundCountText, "3");
    EXPECT_EQ(view.m_foundSizeText, "108 bytes.");
    EXPECT_EQ(view.m_critLocation, "E:\\p");  // the add walks it, and names it
    ASSERT_EQ(prefix.ui.progressDialogs.size(), 1u);
    const auto& search = prefix.ui.progressDialogs[0];
    EXPECT_EQ(search.className, "CSearchProgressDlg");
    EXPECT_EQ(search.texts.at(1005), (std::vector<std::string>{"E:\\p\\", "E:\\p\\sub\\"}));
    EXPECT_EQ(search.texts.at(1114).back(), "3");
    EXPECT_EQ(search.texts.at(1115).back(), "108 bytes.");
    EXPECT_EQ(search.polls, 6);  // one per entry: .dot, a.txt, b.txt, sub, c.bin, h.txt
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_FALSE(view.WorkFilesOpen());

    Prescan("E:\\p", kHiddenBoxes);
    EXPECT_EQ(view.m_foundCount, 1);
    EXPECT_EQ(view.m_listedCount, 0);
    EXPECT_EQ(view.m_bytesToAdd, 3);
}

TEST_F(PrescanTest, ARefusedLocationShowsWhyAndTheDialogAgain) {
    prefix.ui.AddScriptLine(AttributesAnswer("E:\\nowhere"));
    EXPECT_EQ(Prescan("E:\\p"),
              (std::vector<std::string>{
                  AttributesDialogEvent(),
                  BoxEvent("E:\\nowhere is not a folder that can be searched.", "exclamation"),
                  AttributesDialogEvent("E:\\nowhere", kAnyBoxes), kSearchingEvent}));
    EXPECT_EQ(view.m_prescanCancelled, 0);
    EXPECT_EQ(view.m_foundCount, 3);
}

TEST_F(PrescanTest, TheDialogTheSearchOrTheFreeSpaceQuestionCanBeCancelled) {
    prefix.ui.AddScriptLine("{\"dialog\":\"CAddByAttributesDlg\",\"result\":\"cancel\"}");
    EXPECT_EQ(Prescan(), (std::vector<std::string>{AttributesDialogEvent("", kNoBoxes, "cancel")}));
    EXPECT_EQ(view.m_prescanCancelled, 1);
    EXPECT_TRUE(prefix.ui.progressDialogs.empty());

    prefix.ui.AddScriptLine("{\"cancel_at_poll\":2,\"progress\":\"CSearchProgressDlg\"}");
    Prescan("E:\\p");
    EXPECT_EQ(view.m_prescanCancelled, 1);
    EXPECT_EQ(prefix.ui.progressDialogs.back().polls, 2);
    EXPECT_FALSE(prefix.ui.progressOpen);
    EXPECT_FALSE(view.WorkFilesOpen());

    // The copies: 5, 100 and 3 bytes, each encrypted copy rounded up to 16.
    g_free = 47;
    for (const char* answer : {"cancel", "ok"}) {
        prefix.ui.AddScriptLine(std::string("{\"messagebox\":\"") + answer + "\"}");
        EXPECT_EQ(Prescan("E:\\p").back(),
                  BoxEvent("The backup copies of the files to add need 144 bytes, but the drive of "
                           "the backup folder " +
                               prefix.BackupDir() +
                               " has only 47 bytes free.\nPress OK to add the files all the same, "
                               "or Cancel to add nothing.",
                           "exclamation", "okcancel", answer));
        EXPECT_EQ(view.m_prescanCancelled, std::string(answer) == "cancel" ? 1 : 0);
    }
}

TEST_F(PrescanTest, TheFreeSpaceTestCountsPlainCopiesWholeAndOnlyRunsWhenFilesAreBackedUp) {
    g_free = 107;
    prefix.SetReg("Config17", "P");
    EXPECT_NE(Prescan("E:\\p").back().find("need 108 bytes"), std::string::npos);
    g_free = 108;  // they fit
    EXPECT_EQ(Prescan("E:\\p").back(), kSearchingEvent);
    g_free = 0;
    prefix.SetReg("Config5", "0");
    EXPECT_EQ(Prescan("E:\\p").back(), kSearchingEvent);
    EXPECT_EQ(view.m_prescanCancelled, 0);
}

TEST_F(PrescanTest, EveryDriveIsSearchedAndADriveThatCannotBeIsNamed) {
    ASSERT_EQ(unlink((platform::DosDevicesDir() + "/z:").c_str()), 0);  // not the whole machine
    MakeTestDrive(prefix, 'g');
    MakeTestFiles(prefix, {"G:\\h2.txt"}, "hidden");
    SetDosAttributes(prefix, "G:\\h2.txt", 0x2);
    ASSERT_TRUE(platform::SetDriveLink('f', prefix.root + "/gone"));
    EXPECT_EQ(
        Prescan("*", kHiddenBoxes),
        (std::vector<std::string>{
            AttributesDialogEvent(), kSearchingEvent,
            BoxEvent("Drive F: cannot be searched, so its files are not added.", "exclamation")}));
    EXPECT_EQ(view.m_prescanCancelled, 0);
    EXPECT_EQ(view.m_foundCount, 2);  // E:\p\sub\h.txt and G:\h2.txt
    EXPECT_EQ(view.m_bytesToAdd, 9);
    EXPECT_EQ(view.m_critLocation, "*");
}

TEST_F(PrescanTest, ADatabaseChangedBehindTheProgramsBackIsRefused) {
    platform::CFile db;
    ASSERT_TRUE(db.Open(kDatabase, "ab"));
    ASSERT_TRUE(db.PutS(std::string(16, 'x')));
    ASSERT_TRUE(db.Close());
    EXPECT_EQ(Prescan("E:\\p").back(),
              BoxEvent(kDatabase + " database file has been changed and cannot be checked!",
                       "exclamation"));
    EXPECT_EQ(view.m_prescanCancelled, 1);
    EXPECT_TRUE(prefix.ui.progressDialogs.empty());
}
