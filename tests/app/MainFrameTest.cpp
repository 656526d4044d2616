// The main frame's model: the vectors, the status-bar progress and its colours, and the
// clean-up of leftover plaintext copies on close and at the end of the session.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "platform/File.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"
#include "tests/support/TempPrefix.h"

namespace {

std::string Hex(const Iv& iv) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : iv) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

TEST(MainFrame, KeyBringsTheIndexAndScheduleVectors) {
    CMainFrame frame;
    Key key{};
    key[0] = 7;
    frame.SetKey(key);
    EXPECT_EQ(frame.Store().FileKey(), key);
    EXPECT_EQ(Hex(frame.Store().IndexIv()), "15be63eef587375415be63eef5873754");
    EXPECT_EQ(Hex(frame.Store().ScheduleIv()), "65ec0c5d3ef90cc465ec0c5d3ef90cc4");
    frame.SetFileIv("C:\\Program Files\\Quillstead\\Backup Files\\Backup Index 1");
    EXPECT_EQ(Hex(frame.m_fileIv), "1d351c54956c49cd1d351c54956c49cd");
}

// Records what the status bar is asked to show.
class ProgressUi : public ScriptedUi {
  public:
    void StatusProgressBegin(const std::string& caption, int total, COLORREF colour,
                             bool defaultColour) override {
        ScriptedUi::StatusProgressBegin(caption, total, colour, defaultColour);
        lastTotal = total;
        lastColour = colour;
        lastDefault = defaultColour;
    }
    void BusyCursor() override { ++busy; }
    int lastTotal = -1;
    COLORREF lastColour = 0;
    bool lastDefault = false;
    int busy = 0;
};

class Progress : public ::testing::Test {
  protected:
    void SetUp() override { SetUi(&ui); }
    void TearDown() override { SetUi(nullptr); }
    ProgressUi ui;
    CMainFrame frame;
};

TEST_F(Progress, ColourFollowsTheCaption) {
    const struct {
        const char* caption;
        bool coloured;
        COLORREF colour;
    } cases[] = {
        {"Analysing Backup File [Text details]...", true, 0xFF00FF},
        {"Analysing Backup File [Hex details]...", true, 0xFF00FF},
        {"Analysing File [Text details]...", true, 0xFF00FF},
        {"Analysing File [Hex details]...", true, 0xFF00FF},
        {"Initiating File Analysis [Text details]...", true, 0xF700AA},
        {"Initiating File Analysis [Hex details]...", false, 0},
        {"Analysing File [Text details]..", false, 0},
        {"Restoring file from backup...", false, 0},
    };
    for (const auto& c : cases) {
        frame.BeginProgress(c.caption, 100);
        EXPECT_EQ(ui.lastDefault, !c.coloured) << c.caption;
        if (c.coloured) {
            EXPECT_EQ(ui.lastColour, c.colour) << c.caption;
        }
        EXPECT_EQ(ui.Events().back(),
                  std::string("{\"event\":\"progress\",\"caption\":\"") + c.caption + "\"}");
        frame.EndProgress();
    }
}

TEST_F(Progress, TotalIsTakenAsSixteenBits) {
    frame.BeginProgress("x", 65535);
    EXPECT_EQ(ui.lastTotal, 65535);
    frame.BeginProgress("x", 65536);
    EXPECT_EQ(ui.lastTotal, 0);
    frame.BeginProgress("x", 70000);
    EXPECT_EQ(ui.lastTotal, 4464);
    frame.BeginProgress("x", -1);
    EXPECT_EQ(ui.lastTotal, 65535);
    EXPECT_EQ(frame.m_progressTotal, 65535);
}

TEST_F(Progress, BusyCursorEveryTwelfthOfTheTotal) {
    frame.BeginProgress("x", 120);
    for (int i = 0; i < 120; ++i) frame.StepProgress();
    EXPECT_EQ(ui.busy, 12);
    EXPECT_EQ(ui.statusProgressSteps, 120);

    // Small totals (and a total of 0) do not divide by zero: every step moves it.
    ui.busy = 0;
    frame.BeginProgress("x", 5);
    for (int i = 0; i < 5; ++i) frame.StepProgress();
    EXPECT_EQ(ui.busy, 5);
    ui.busy = 0;
    frame.BeginProgress("x", 0);
    frame.StepProgress();
    EXPECT_EQ(ui.busy, 1);
}

TEST_F(Progress, EndSetsThePaneText) {
    frame.BeginProgress("Restoring...", 10);
    ui.ClearEvents();
    frame.EndProgress();
    EXPECT_FALSE(ui.statusProgressActive);
    EXPECT_FALSE(frame.m_progressActive);
    ASSERT_EQ(ui.Events().size(), 1u);
    EXPECT_EQ(ui.Events()[0], R"({"event":"status","text":"Ready"})");
    frame.EndProgress("File restored.");
    EXPECT_EQ(ui.statusText, "File restored.");
}

// Leftover copies: every kind the close removes, and the files it must keep.
class LeftoverCopies : public ::testing::Test {
  protected:
    void WriteIndex(const std::vector<unsigned>& numbers) {
        std::string plain;
        for (unsigned n : numbers)
            plain += BuildDatabaseIndexLine("E:\\db" + std::to_string(n) + ".qdb", n, FILETIME(),
                                            "d41d8cd98f00b204e9800998ecf8427e") +
                     "\n";
        t.WriteFile("E:\\index.plain", plain);
        EncryptFileWithIv(t.frame.Store().FileKey(), DatabaseIndexPath(t.BackupDir()),
                          "E:\\index.plain", t.frame.Store().IndexIv());
        t.WriteFile("E:\\index.plain", "");
    }
    std::string B(const std::string& name) const { return t.BackupDir() + name; }
    TempPrefix t;
};

TEST_F(LeftoverCopies, CloseWipesEveryPlaintextCopy) {
    WriteIndex({1, 2});
    t.frame.m_openDatabasePath = "E:\\db1.qdb";
    const std::vector<std::string> leftovers = {
        "E:\\db1.qdb.123456789z",
        "E:\\db1.qdb.123456789z1",
        B("Database Index123456789z"),
        B("Database Index1"),
        B("Backup Index 1123456789z"),
        B("Backup Index 2123456789z"),
        B("Backup Index 1.new"),
        B("Backup File 1.new"),
        B("Backup File 2.new"),
        // Every listed database's copies, open or not.
        "E:\\db2.qdb.123456789z",
    };
    const std::vector<std::string> kept = {
        "E:\\db1.qdb",
        "E:\\db1.qdb1",  // a user's file beside the database
        B("Database Index"),
        B("Backup Index 1"),
        B("Backup File 1"),
        B("Backup Index 2"),
        B("Backup File 2"),
        // The real pair of database 11 is never taken for a copy of database 1's.
        B("Backup Index 11"),
        B("Backup File 11"),
        B("Backup Index x.new"),
    };
    for (const auto& p : leftovers) t.WriteFile(p, "plain text");
    for (const auto& p : kept)
        if (!t.Exists(p))
            t.WriteFile(p, "keep");
    t.frame.OnClose();
    for (const auto& p : leftovers) EXPECT_FALSE(t.Exists(p)) << p;
    for (const auto& p : kept) EXPECT_TRUE(t.Exists(p)) << p;
    EXPECT_TRUE(t.ui.Events().empty());
}

TEST_F(LeftoverCopies, WithoutAnOpenDatabaseOrIndexTheBackupCopiesStillGo) {
    t.WriteFile(B("Database Index123456789z"), "x");
    t.WriteFile(B("Backup Index 3123456789z"), "x");
    t.WriteFile(B("Backup Index 3.new"), "x");
    t.WriteFile(B("Backup Index 31"), "x");
    t.frame.OnClose();
    EXPECT_FALSE(t.Exists(B("Database Index123456789z")));
    EXPECT_FALSE(t.Exists(B("Backup Index 3123456789z")));
    EXPECT_FALSE(t.Exists(B("Backup Index 3.new")));
    EXPECT_TRUE(t.Exists(B("Backup Index 31")));
}

TEST_F(LeftoverCopies, EndSessionClosesTheCheckStreamFirst) {
    t.frame.m_openDatabasePath = "E:\\db.qdb";
    t.WriteFile("E:\\db.qdb.123456789z", "record line\r\n");
    t.frame.m_checkWorkFile = std::make_unique<WorkCopyStream>(SecureText("record line\r\n"));
    t.frame.OnEndSession();
    EXPECT_EQ(t.frame.m_checkWorkFile, nullptr);
    EXPECT_FALSE(t.Exists("E:\\db.qdb.123456789z"));
    EXPECT_TRUE(t.FilesNamed("123456789z").empty());
}

TEST_F(LeftoverCopies, CloseAlsoReleasesACheckStreamLeftOpen) {
    t.frame.m_openDatabasePath = "E:\\db.qdb";
    t.WriteFile("E:\\db.qdb.123456789z", "record line\r\n");
    t.frame.m_checkWorkFile = std::make_unique<WorkCopyStream>(SecureText("record line\r\n"));
    t.frame.OnClose();
    EXPECT_EQ(t.frame.m_checkWorkFile, nullptr);
    EXPECT_FALSE(t.Exists("E:\\db.qdb.123456789z"));
}

TEST_F(LeftoverCopies, AnEmptyBackupSettingReachesNoFolderAndShowsNothing) {
    t.SetReg("Backup\\Backup Files Directory", "");
    t.WriteFile(B("Database Index123456789z"), "x");
    t.frame.OnClose();
    EXPECT_TRUE(t.Exists(B("Database Index123456789z")));
    EXPECT_TRUE(t.ui.Events().empty());
}

}  // namespace
