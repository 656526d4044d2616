// The prompting check of scheduled databases at a tick of timer 10: two databases in one
// pass, an empty database, a deleted one and the inconsistency that closes the program, a
// changed database file, the restore's differences, and the bound of the pass.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/MainFrame.h"
#include "schedule/ScheduleEdits.h"
#include "storage/DatabaseIndex.h"
#include "tests/check/CheckRunFixture.h"
#include "tests/schedule/ScheduleFixture.h"
#include "tests/support/Json.h"

namespace {

using ScheduledCheckTest = ScheduleFixture;

// Listed, checked, unchecked, identical, changed.
std::vector<std::string> Counts(const CCheckingSummaryDlg& s) {
    return {s.m_filesListedText, s.m_filesCheckedText, s.m_filesUncheckedText,
            s.m_filesIdenticalText, s.m_filesChangedText};
}
using C = std::vector<std::string>;

}  // namespace

TEST_F(ScheduledCheckTest, TwoDatabasesAreCheckedInTurnAndTheScheduleRunsAgain) {
    BuildThree("N");
    StoreSecondDatabase();
    p.WriteFile(files[1], "changed");
    Schedule({kDatabase, kSecond});
    ASSERT_TRUE(StartAndTick());

    const std::vector<std::string>& events = p.ui.Events();
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0], ProgressEvent(kDatabase));
    EXPECT_EQ(events[1], MessageBoxEvent("E:\\b.txt has been changed! ", "none"));
    EXPECT_TRUE(IsDialogEvent(events[2], "CChangedFileDetailsDlg"));
    EXPECT_TRUE(IsDialogEvent(events[3], "CCheckingSummaryDlg"));
    EXPECT_EQ(events[4], ProgressEvent(kSecond));
    EXPECT_TRUE(IsDialogEvent(events[5], "CCheckingSummaryDlg"));
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(Counts(summaries[0]), (C{"3", "3", "0", "2", "1"}));
    EXPECT_EQ(Counts(summaries[1]), (C{"1", "1", "0", "1", "0"}));

    FILETIME checked;
    EXPECT_TRUE(IndexLastChecked(IndexLineOf(kDatabase), checked));
    EXPECT_TRUE(IndexLastChecked(IndexLineOf(kSecond), checked));
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 60000u);
    EXPECT_EQ(p.ui.timers.at(107).milliseconds, 950u);
    EXPECT_EQ(noDb.m_intervalSeconds, 60);
    EXPECT_EQ(p.ui.paneTexts[1], "Next scheduled check in 0:01:00");
    // No database is open, yet the frame keeps the last scheduled one.
    EXPECT_EQ(p.frame.m_openDatabasePath, kSecond);
    EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
}

TEST_F(ScheduledCheckTest, AnEmptyDatabaseStopsTheScheduleUnlessALaterOneStartsItAgain) {
    BuildThree("P");
    ASSERT_TRUE(noDb.CreateDatabase("E:\\empty.qdb"));
    Schedule({"E:\\empty.qdb"});
    for (const bool later : {false, true}) {
        if (later)
            Schedule({kDatabase});
        ASSERT_TRUE(StartAndTick());
        EXPECT_EQ(p.ui.Events().size(), later ? 2u : 0u) << later;
        EXPECT_EQ(p.ui.timers.size(), later ? 2u : 0u) << later;
        EXPECT_EQ(noDb.m_scheduleRunning, later ? 1 : 0) << later;
        EXPECT_EQ(p.ui.paneTexts[1], later ? "Next scheduled check in 0:01:00" : "") << later;
    }
}

TEST_F(ScheduledCheckTest, ADeletedDatabaseStopsTheScheduleAndTheNextGoodRunClosesTheProgram) {
    BuildThree("P");
    StoreSecondDatabase();
    Schedule({kDatabase, kSecond});
    const std::string stored = p.ReadFile(kDatabase);
    ASSERT_EQ(unlink(p.Host(kDatabase).c_str()), 0);

    EXPECT_FALSE(StartAndTick());
    ASSERT_EQ(p.ui.Events().size(), 1u);  // the report ended the pass
    EXPECT_EQ(
        p.ui.Events()[0].rfind(
            "{\"event\":\"framework-report\",\"cause\":2,\"file\":" + JsonString(kDatabase), 0),
        0u);
    EXPECT_TRUE(p.ui.timers.empty());
    EXPECT_EQ(noDb.m_databaseUnopenable, 1);

    p.WriteFile(kDatabase, stored);
    ASSERT_TRUE(StartAndTick());
    EXPECT_EQ(p.ui.Events(),
              (C{MessageBoxEvent("Quillstead has detected a file inconsistency. Quillstead can "
                                 "repair this but has to shut down first. Relaunch Quillstead "
                                 "and the problem will be fixed.",
                                 "information"),
                 "{\"event\":\"close-main-window\"}"}));
    EXPECT_EQ(noDb.m_databaseUnopenable, 0);
    EXPECT_TRUE(p.ui.timers.empty());
    p.ui.ClearEvents();
    noDb.OnTimer(10);  // nothing touches the view any more
    EXPECT_TRUE(p.ui.Events().empty());
}

// A flipped bit, or the whole file emptied (which an empty database would be, were its index
// line not holding another digest).
TEST_F(ScheduledCheckTest, AChangedDatabaseFileIsRefusedAndTheCountdownStartsAgain) {
    for (const bool emptied : {false, true}) {
        BuildThree("P");
        SetInterval("0", "0", "30");
        if (!emptied)
            Schedule({kDatabase});
        std::string stored = p.ReadFile(kDatabase);
        stored[0] = char(stored[0] ^ 1);
        p.WriteFile(kDatabase, emptied ? std::string() : stored);
        const std::string index = DatabaseIndexText(p);

        ASSERT_TRUE(StartAndTick());
        EXPECT_EQ(p.ui.Events(), C{MessageBoxEvent("E:\\db.qdb database file has been changed "
                                                   "and cannot be checked!",
                                                   "exclamation")})
            << emptied;
        EXPECT_EQ(DatabaseIndexText(p), index);
        EXPECT_EQ(p.ui.timers.at(10).milliseconds, 30000u);
        EXPECT_EQ(noDb.m_intervalSeconds, 30);
    }
}

// The status pane goes straight to "Ready" once the original's copy is made, and the copy has
// the interactive restore's name: a user's own "b.txt1" is never overwritten.
TEST_F(ScheduledCheckTest, RestoresKeepAUsersFileNamedLikeTheCopyAndSkipProcessing) {
    for (const bool backedUp : {true, false}) {
        BuildThree("N");
        if (!backedUp) {
            StoreBackupIndex(entries[0] + entries[2]);
            p.WriteFile(BackupFilePath(), copies[0] + copies[2]);
        }
        if (backedUp)
            Schedule({kDatabase});
        p.WriteFile(files[1], "changed");
        p.WriteFile("E:\\b.txt1", "the user's own file");
        p.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":3}})");
        p.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":0}})");
        ASSERT_TRUE(StartAndTick());

        const std::vector<std::string>& events = p.ui.Events();
        ASSERT_TRUE(IsDialogEvent(events.at(3), "CRestoreDlg"));
        const C restoreEvents =
            backedUp ? C{R"({"event":"progress","caption":"Initiating File Restoration..."})",
                         R"({"event":"status","text":"Processing..."})",
                         R"({"event":"progress","caption":"Restoring File..."})",
                         R"({"event":"status","text":"Ready"})",
                         MessageBoxEvent("E:\\b.txt successfully restored.", "information")}
                     : C{MessageBoxEvent("E:\\b.txt was not backed up. To enable restoration in "
                                         "future, change your settings with the 'Configuration' "
                                         "menu.",
                                         "exclamation")};
        EXPECT_EQ(C(events.begin() + 4, events.end() - 1), restoreEvents);
        EXPECT_EQ(p.ReadFile(files[1]), backedUp ? originals[1] : "changed");
        EXPECT_EQ(p.ReadFile("E:\\b.txt1"), "the user's own file");
        EXPECT_TRUE(Leftovers().empty()) << Leftovers()[0];
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

    EXPECT_EQ(p.ui.Events().at(3),
              MessageBoxEvent("Couldn't check E:\\b.txt\nReason: FileNotFound.", "exclamation"));
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(Counts(summaries[0]), (C{"3", "3", "1", "2", "1"}));
    EXPECT_EQ(p.ui.progressTextsShown[1051],
              (C{"E:\\a.txt", "E:\\b.txt", "E:\\c.txt", "E:\\a.txt"}));
    EXPECT_EQ(p.ui.progressTextsShown[1114], (C{"2", "1", "0", "0"}));
}
