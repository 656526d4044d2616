// The checking schedule itself: the stored file under m_scheduleIv in the folder of its
// setting with the lines it holds, the refused changes, the "Scheduled Checking" dialog's
// lists, interval and commands, and scheduled checking started, counted down and stopped.
#include <gtest/gtest.h>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "schedule/Countdown.h"
#include "schedule/ScheduleEdits.h"
#include "schedule/ScheduledCheckingDlg.h"
#include "storage/ProtectedFile.h"
#include "tests/schedule/ScheduleFixture.h"

namespace {

using ScheduleEditsTest = ScheduleFixture;

const std::string kScheduleFile =
    "C:\\Program Files\\Quillstead\\Checking Schedule\\Database Checking Schedule";

std::string ScheduleText(const TempPrefix& p, const std::string& path = kScheduleFile) {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(p.frame.m_fileKey, path, p.frame.m_scheduleIv, plain));
    return plain;
}

}  // namespace

TEST_F(ScheduleEditsTest, TheScheduleIsStoredEncryptedWithOneLineADatabase) {
    BuildThree("P");
    StoreSecondDatabase();
    StoreDatabaseIndex(p, DatabaseIndexText(p) + CreatedIndexLine("E:\\db.qdb2", 3, "0") + "\n");
    Schedule({kSecond, "E:\\db.qdb2"});
    SetInterval("2", "30", "5");
    p.SetReg("Config11", "P");
    Schedule({kDatabase});
    EXPECT_TRUE(p.ui.Events().empty());
    EXPECT_EQ(ScheduleText(p), "E:\\two.qdb" + kSep + "0" + kSep + "1" + kSep + "0" + kSep + "P" +
                                   kSep + "\nE:\\db.qdb2" + kSep + "0" + kSep + "1" + kSep + "0" +
                                   kSep + "P" + kSep + "\nE:\\db.qdb" + kSep + "2" + kSep + "30" +
                                   kSep + "5" + kSep + "P" + kSep + "\n");
    EXPECT_EQ(p.ReadFile(kScheduleFile).find("two.qdb"), std::string::npos);

    // Taking out E:\db.qdb leaves E:\db.qdb2, whose path only begins with it.
    ASSERT_TRUE(RemoveFromSchedule(p.frame, kDatabase));
    ASSERT_TRUE(RemoveFromSchedule(p.frame, kSecond));
    EXPECT_EQ(ScheduledDatabases(p.frame), std::vector<std::string>{"E:\\db.qdb2"});

    struct Refusal {
        bool add;
        std::string path, text;
    };
    const Refusal refusals[] = {
        {true, "E:\\db.qdb2", "E:\\db.qdb2 is already in the Database Checking Schedule."},
        {true, "E:\\DB.QDB",
         "E:\\DB.QDB is not listed in the Database Index and cannot be scheduled."},
        {false, kDatabase, "E:\\db.qdb is not in the Database Checking Schedule."},
    };
    for (const Refusal& r : refusals) {
        p.ui.ClearEvents();
        EXPECT_FALSE(r.add ? AddToSchedule(p.frame, r.path) : RemoveFromSchedule(p.frame, r.path));
        EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent(r.text, "exclamation")});
    }
    EXPECT_TRUE(p.FilesNamed(".new~").empty());
}

TEST_F(ScheduleEditsTest, TheScheduleLivesInTheFolderOfItsSettingWhichIsMadeWhenMissing) {
    BuildThree("P");
    p.SetReg("Checking Schedule Directory", "E:\\sched\\");
    Schedule({kDatabase});
    EXPECT_EQ(ScheduleText(p, "E:\\sched\\Database Checking Schedule"),
              "E:\\db.qdb" + kSep + "0" + kSep + "1" + kSep + "0" + kSep + "P" + kSep + "\n");
    EXPECT_FALSE(p.Exists(kScheduleFile));

    p.RemoveReg("Checking Schedule Directory");
    p.ui.ClearEvents();
    EXPECT_TRUE(ScheduledDatabases(p.frame).empty());
    EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent("Registry error.", "stop")});
}

TEST_F(ScheduleEditsTest, TheDialogMovesDatabasesAndStartsAndStopsScheduledChecking) {
    BuildThree("P");
    StoreSecondDatabase();
    Schedule({kSecond});
    CScheduledCheckingDlg dialog(noDb);
    dialog.Fill();
    p.ui.ClearEvents();
    dialog.DoModal();
    EXPECT_EQ(p.ui.Events()[0],
              "{\"event\":\"dialog\",\"class\":\"CScheduledCheckingDlg\",\"members\":{"
              "\"m_indexDatabases\":[\"E:\\\\db.qdb\"],\"m_indexSelection\":-1,"
              "\"m_scheduledDatabases\":[\"E:\\\\two.qdb\"],\"m_scheduleSelection\":-1,"
              "\"m_hours\":\"0\",\"m_minutes\":\"1\",\"m_seconds\":\"0\","
              "\"m_modeText\":\"Standard checking [ prompt on file change and completion ].\","
              "\"m_stateText\":\"Scheduled checking is off.\"},\"result\":\"ok\"}");

    dialog.m_indexSelection = 0;
    dialog.OnCommand(CScheduledCheckingDlg::IDC_ADD);
    EXPECT_TRUE(dialog.m_indexDatabases.empty());
    EXPECT_EQ(dialog.m_scheduledDatabases, (std::vector<std::string>{kSecond, kDatabase}));
    dialog.m_scheduleSelection = 0;
    dialog.OnCommand(CScheduledCheckingDlg::IDC_REMOVE);
    EXPECT_EQ(dialog.m_indexDatabases, std::vector<std::string>{kSecond});
    EXPECT_EQ(ScheduledDatabases(p.frame), std::vector<std::string>{kDatabase});

    // Texts that are not an interval from 1 second to 596 hours start nothing.
    const char* const refused[][3] = {
        {"0", "0", "0"}, {"1", "x", "0"}, {"", "0", "5"}, {"-1", "0", "0"}, {"596", "0", "1"}};
    for (const auto& r : refused) {
        p.ui.ClearEvents();
        dialog.m_hours = r[0], dialog.m_minutes = r[1], dialog.m_seconds = r[2];
        dialog.OnCommand(CScheduledCheckingDlg::IDC_START);
        EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent(
                                     "Give the interval in whole hours, minutes and seconds, "
                                     "from 1 second to 596 hours.",
                                     "exclamation")});
        EXPECT_TRUE(p.ui.timers.empty());
    }
    p.SetReg("Config11", "N");
    dialog.m_hours = " 596 ", dialog.m_minutes = "0", dialog.m_seconds = "00";
    dialog.OnCommand(CScheduledCheckingDlg::IDC_START);
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 596u * 3600000u);
    EXPECT_EQ(dialog.m_stateText, "Scheduled checking is on.");
    EXPECT_EQ(dialog.m_hours, "596");
    std::string mode;
    EXPECT_TRUE(ReadSetting("Config11", mode));
    EXPECT_EQ(mode, "P");

    dialog.OnCommand(CScheduledCheckingDlg::IDC_STOP);
    EXPECT_TRUE(p.ui.timers.empty());
    EXPECT_EQ(noDb.m_scheduleRunning, 0);
    EXPECT_EQ(p.ui.paneTexts[1], "");
    EXPECT_EQ(dialog.m_stateText, "Scheduled checking is off.");
}

TEST_F(ScheduleEditsTest, StartingReadsTheIntervalAndTheModeFromTheSettings) {
    struct Case {
        const char *hours, *minutes, *seconds, *mode;
        unsigned timer10;  // 0: nothing started
        int seconds10;
    };
    const Case cases[] = {
        {"1", "0", "0", "P", 3600000, 3600},
        {"0", "1", "30", "P", 90000, 90},
        {"-1", "90", "0", "P", 1800000, 1800},
        {"700", "0", "0", "P", 2147483647, 2147483},  // what a timer holds at most
        {"0", "0", "0", "P", 0, 0},
        {"-1", "0", "0", "P", 0, -3600},
        {"0", "0", "1", "N", 0, 1},  // the logging check is not part of the program
        {"0", "0", "1", "p", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hours) + ":" + c.minutes + ":" + c.seconds + " " + c.mode);
        noDb.StopScheduledChecking();
        SetInterval(c.hours, c.minutes, c.seconds);
        p.SetReg("Config11", c.mode);
        noDb.OnStartScheduledChecking();
        EXPECT_EQ(noDb.m_intervalSeconds, c.seconds10);
        EXPECT_EQ(noDb.m_scheduleRunning, c.timer10 ? 1 : 0);
        EXPECT_EQ(p.ui.timers.count(10) ? p.ui.timers.at(10).milliseconds : 0u, c.timer10);
        EXPECT_EQ(p.ui.timers.count(107), c.timer10 ? 1u : 0u);
    }
    // A setting that cannot be read says so, and counts as 0.
    p.ui.ClearEvents();
    SetInterval("0", "2", "5");
    p.SetReg("Config11", "P");
    p.RemoveReg("Config9");
    noDb.OnStartScheduledChecking();
    EXPECT_EQ(p.ui.Events(), std::vector<std::string>{MessageBoxEvent("Registry error.", "stop")});
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 5000u);
}

TEST_F(ScheduleEditsTest, TheCountdownShowsWhileNoDatabaseIsOpenAndTicksGoWhileOneIs) {
    BuildThree("P");
    noDb.OnStartScheduledChecking();
    ASSERT_TRUE(Tick(107));
    EXPECT_EQ(p.ui.paneTexts[1], "Next scheduled check in 0:01:00");

    // An empty schedule: a tick checks nothing and the schedule runs on.
    ASSERT_TRUE(Tick(10));
    EXPECT_TRUE(p.ui.Events().empty());
    EXPECT_EQ(p.ui.timers.size(), 2u);

    // While a database is open the countdown is not shown and its checks wait.
    Schedule({kDatabase});
    p.frame.m_databaseOpen = true;
    ASSERT_TRUE(Tick(107));
    EXPECT_EQ(p.ui.paneTexts[1], "");
    ASSERT_TRUE(Tick(10));
    EXPECT_TRUE(p.ui.Events().empty());
    EXPECT_EQ(p.frame.m_openDatabasePath, "");
}

TEST(Countdown, SecondsLeftAndTheirText) {
    const auto now = std::chrono::steady_clock::now();
    using std::chrono::milliseconds;
    EXPECT_EQ(SecondsUntil(now + milliseconds(60000), now), 60);
    EXPECT_EQ(SecondsUntil(now + milliseconds(59001), now), 60);
    EXPECT_EQ(SecondsUntil(now + milliseconds(59000), now), 59);
    EXPECT_EQ(SecondsUntil(now + milliseconds(1), now), 1);
    EXPECT_EQ(SecondsUntil(now, now), 0);
    EXPECT_EQ(SecondsUntil(now - milliseconds(5000), now), 0);
    EXPECT_EQ(CountdownText(0), "Next scheduled check in 0:00:00");
    EXPECT_EQ(CountdownText(3599), "Next scheduled check in 0:59:59");
    EXPECT_EQ(CountdownText(2145600), "Next scheduled check in 596:00:00");
}
