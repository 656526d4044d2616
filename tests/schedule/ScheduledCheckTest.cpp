// The prompting check of scheduled databases at a tick of timer 10: two databases in one
// pass, the empty database that leaves the schedule stopped, the deleted database and the
// inconsistency that closes the program, the changed database file, the restore's
// differences, the bound of the pass, and the frame's open path afterwards.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/MainFrame.h"
#include "schedule/ScheduleEdits.h"
#include "storage/DatabaseIndex.h"
#include "tests/schedule/ScheduleFixture.h"
#include "tests/support/Json.h"

namespace {

using ScheduledCheckTest = ScheduleFixture;

bool IsDialog(const std::string& event, const std::string& cls) {
    return event.rfind("{\"event\":\"dialog\",\"class\":\"" + cls + "\"", 0) == 0;
}

void ExpectSummary(const CCheckingSummaryDlg& s, const char* listed, const char* checked,
                   const char* unchecked, const char* identical, const char* changed) {
    EXPECT_EQ(s.m_filesListedText, listed);
    EXPECT_EQ(s.m_expectedCountText, listed);
    EXPECT_EQ(s.m_filesCheckedText, checked);
    EXPECT_EQ(s.m_filesUncheckedText, unchecked);
    EXPECT_EQ(s.m_filesIdenticalText, identical);
    EXPECT_EQ(s.m_filesChangedText, changed);
}

}  // namespace

TEST_F(ScheduledCheckTest, TwoDatabasesAreCheckedInTurnAndTheScheduleRunsAgain) {
    BuildThree("N");
    StoreSecondDatabase();
    p.WriteFile(files[1], "changed");
    Schedule({kDatabase, kSecond});
    ASSERT_TRUE(StartAndTick());

    const std::vector<std::string>& events = p.ui.Events();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0], ProgressLine("Checking all files in Database: E:\\db.qdb"));
    EXPECT_EQ(events[1], MessageBoxEvent("E:\\b.txt has been changed! ", "none"));
    EXPECT_TRUE(IsDialog(events[2], "CChangedFileDetailsDlg"));
    EXPECT_TRUE(IsDialog(events[3], "CCheckingSummaryDlg"));
    EXPECT_EQ(events[4], ProgressLine("Checking all files in Database: E:\\two.qdb"));
    EXPECT_TRUE(IsDialog(events[5], "CCheckingSummaryDlg"));
    ASSERT_EQ(summaries.size(), 2u);
    ExpectSummary(summaries[0], "3", "3", "0", "2", "1");
    ExpectSummary(summaries[1], "1", "1", "0", "1", "0");

    // Each run recorded its time and the schedule runs again with its whole interval.
    FILETIME checked;
    EXPECT_TRUE(IndexLastChecked(IndexLineOf(kDatabase), checked));
    EXPECT_TRUE(IndexLastChecked(IndexLineOf(kSecond), checked));
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 60000u);
    EXPECT_EQ(p.ui.timers.at(107).milliseconds, 950u);
    EXPECT_EQ(noDb.m_scheduleRunning, 1);
    EXPECT_EQ(noDb.m_intervalSeconds, 60);
    EXPECT_EQ(p.ui.paneTexts[1], "Next scheduled check in 0:01:00");
    // No database is open, yet the frame keeps the last scheduled one.
    EXPECT_EQ(p.frame.m_openDatabasePath, kSecond);
    EXPECT_FALSE(p.frame.m_databaseOpen);
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(ScheduledCheckTest, AnEmptyDatabaseStopsTheScheduleUnlessALaterOneStartsItAgain) {
    BuildThree("P");
    ASSERT_TRUE(noDb.CreateDatabase("E:\\empty.qdb"));
    for (const bool later : {false, true}) {
        SCOPED_TRACE(later);
        if (later)
            Schedule({kDatabase});
        else
            Schedule({"E:\\empty.qdb"});
        ASSERT_TRUE(StartAndTick());
        EXPECT_EQ(p.ui.Events().size(), later ? 2u : 0u);
        EXPECT_EQ(p.ui.timers.size(), later ? 2u : 0u);
        EXPECT_EQ(noDb.m_scheduleRunning, later ? 1 : 0);
        EXPECT_EQ(noDb.m_intervalSeconds, later ? 60 : 0);
        EXPECT_EQ(p.ui.paneTexts[1], later ? "Next scheduled check in 0:01:00" : "");
    }
}

TEST_F(ScheduledCheckTest, ADeletedDatabaseStopsTheScheduleAndTheNextGoodRunClosesTheProgram) {
    BuildThree("P");
    StoreSecondDatabase();
    Schedule({kDatabase, kSecond});
    const std::string stored = p.ReadFile(kDatabase);
    ASSERT_EQ(unlink(p.Host(kDatabase).c_str()), 0);

    EXPECT_FALSE(StartAndTick());
    ASSERT_EQ(p.ui.Events().size(), 1u);  // the pass ended with the report
    EXPECT_EQ(
        p.ui.Events()[0].rfind(
            "{\"event\":\"framework-report\",\"cause\":2,\"file\":" + JsonString(kDatabase), 0),
        0u);
    EXPECT_TRUE(p.ui.timers.empty());
    EXPECT_EQ(noDb.m_scheduleRunning, 0);
    EXPECT_EQ(noDb.m_databaseUnopenable, 1);

    p.WriteFile(kDatabase, stored);
    ASSERT_TRUE(StartAndTick());
    EXPECT_EQ(p.ui.Events(),
              (std::vector<std::string>{
                  MessageBoxEvent("Quillstead has detected a file inconsistency. Quillstead can "
                                  "repair this but has to shut down first. Relaunch Quillstead "
                                  "and the problem will be fixed.",
                                  "information"),
                  "{\"event\":\"close-main-window\"}"}));
    EXPECT_TRUE(p.ui.mainWindowClosed);
    EXPECT_TRUE(noDb.MainWindowClosed());
    EXPECT_EQ(noDb.m_databaseUnopenable, 0);
    EXPECT_TRUE(p.ui.timers.empty());
    // Nothing touches the view any more.
    p.ui.ClearEvents();
    noDb.OnTimer(10);
    EXPECT_TRUE(p.ui.Events().empty());
}

TEST_F(ScheduledCheckTest, AChangedDatabaseFileIsRefusedAndTheCountdownStartsAgain) {
    BuildThree("P");
    SetInterval("0", "0", "30");
    Schedule({kDatabase});
    std::string stored = p.ReadFile(kDatabase);
    stored[0] = char(stored[0] ^ 1);
    p.WriteFile(kDatabase, stored);
    const std::string index = DatabaseIndexText(p);

    ASSERT_TRUE(StartAndTick());
    EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent(
                                 "E:\\db.qdb database file has been changed and cannot be checked!",
                                 "exclamation")});
    EXPECT_EQ(DatabaseIndexText(p), index);
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 30000u);
    EXPECT_EQ(noDb.m_scheduleRunning, 1);
    EXPECT_EQ(noDb.m_intervalSeconds, 30);
}

// The restore differs only in its status pane, which goes straight to "Ready"; the original's
// copy has the interactive restore's name, so a user's "b.txt1" is never overwritten.
TEST_F(ScheduledCheckTest, RestoresKeepAUsersFileNamedLikeTheCopyAndSkipProcessing) {
    struct Case {
        bool backedUp;
        std::vector<std::string> restoreEvents;
    };
    const Case cases[] = {
        {true,
         {ProgressLine("Initiating File Restoration..."), StatusLine("Processing..."),
          ProgressLine("Restoring File..."), StatusLine("Ready"),
          MessageBoxEvent("E:\\b.txt successfully restored.", "information")}},
        {false,
         {MessageBoxEvent("E:\\b.txt was not backed up. To enable restoration in future, change "
                          "your settings with the 'Configuration' menu.",
                          "exclamation")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backedUp);
        BuildThree("N");
        if (!c.backedUp)
            StoreBackupIndex(entries[0] + entries[2]);
        Schedule({kDatabase});
        p.WriteFile(files[1], "changed");
        p.WriteFile("E:\\b.txt1", "the user's own file");
        p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})");
        p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})");
        ASSERT_TRUE(StartAndTick());

        const std::vector<std::string>& events = p.ui.Events();
        ASSERT_TRUE(IsDialog(events.at(3), "CRestoreDlg"));
        EXPECT_EQ(std::vector<std::string>(events.begin() + 4, events.end() - 1), c.restoreEvents);
        EXPECT_EQ(p.ReadFile(files[1]), c.backedUp ? originals[1] : "changed");
        EXPECT_EQ(p.ReadFile("E:\\b.txt1"), "the user's own file");
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
        ASSERT_TRUE(RemoveFromSchedule(p.frame, kDatabase));
    }
}

// A file that cannot be opened lets one more record in: after the N-th record the pass goes
// on into the record an acceptance moved to the end, and the summary counts it.
TEST_F(ScheduledCheckTest, AFileThatCannotBeOpenedLetsThePassGoOnPastN) {
    BuildThree("P");
    Schedule({kDatabase});
    p.WriteFile(files[0], "changed first");
    ASSERT_EQ(unlink(p.Host(files[1]).c_str()), 0);
    p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":2}})");
    ASSERT_TRUE(StartAndTick());

    EXPECT_EQ(
        EventsOf("messagebox"),
        (std::vector<std::string>{
            MessageBoxEvent("E:\\a.txt has been changed! ", "none"),
            MessageBoxEvent("Couldn't check E:\\b.txt\nReason: FileNotFound.", "exclamation")}));
    ASSERT_EQ(summaries.size(), 1u);
    ExpectSummary(summaries[0], "3", "3", "1", "2", "1");
    EXPECT_EQ(p.ui.progressTextsShown[1051],
              (std::vector<std::string>{"E:\\a.txt", "E:\\b.txt", "E:\\c.txt", "E:\\a.txt"}));
    EXPECT_EQ(p.ui.progressTextsShown[1114], (std::vector<std::string>{"2", "1", "0", "0"}));
}
