// The checking schedule itself: the stored file under m_scheduleIv in the folder of its
// setting, the refused changes, the "Scheduled Checking" dialog's lists, interval and
// commands, and scheduled checking started from the settings, counted down and stopped.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "schedule/Countdown.h"
#include "schedule/ScheduleEdits.h"
#include "schedule/ScheduledCheckingDlg.h"
#include "storage/ProtectedFile.h"
#include "storage/StopPoints.h"
#include "tests/schedule/ScheduleFixture.h"

namespace {

using ScheduleEditsTest = ScheduleFixture;
using C = std::vector<std::string>;

std::string ScheduleText(const TempPrefix& p, const std::string& dir) {
    std::string plain;
    EXPECT_TRUE(DecryptFileToMemory(p.frame.Store().FileKey(), dir + "Database Checking Schedule",
                                    p.frame.Store().ScheduleIv(), plain));
    return plain;
}

std::string Line(const std::string& path, const std::string& h, const std::string& m,
                 const std::string& s) {
    return path + kSep + h + kSep + m + kSep + s + kSep + "P" + kSep + "\n";
}

}  // namespace

TEST_F(ScheduleEditsTest, TheScheduleIsStoredEncryptedWithOneLineADatabase) {
    BuildThree("P");
    StoreSecondDatabase();
    StoreDatabaseIndex(p, DatabaseIndexText(p) + CreatedIndexLine("E:\\db.qdb2", 3, "0") + "\n");
    Schedule({kSecond, "E:\\db.qdb2"});
    SetInterval("2", "30", "5");
    Schedule({kDatabase});
    const std::string dir = "C:\\Program Files\\Quillstead\\Checking Schedule\\";
    EXPECT_EQ(ScheduleText(p, dir), Line(kSecond, "0", "1", "0") +
                                        Line("E:\\db.qdb2", "0", "1", "0") +
                                        Line(kDatabase, "2", "30", "5"));
    EXPECT_EQ(p.ReadFile(dir + "Database Checking Schedule").find("two.qdb"), std::string::npos);

    // Taking out E:\db.qdb leaves E:\db.qdb2, whose path only begins with it.
    ASSERT_TRUE(RemoveFromSchedule(p.frame, kDatabase));
    ASSERT_TRUE(RemoveFromSchedule(p.frame, kSecond));
    EXPECT_EQ(ScheduledDatabases(p.frame), C{"E:\\db.qdb2"});

    const std::pair<bool, std::string> refused[] = {
        {true, "E:\\db.qdb2 is already in the Database Checking Schedule."},
        {true, "E:\\DB.QDB is not listed in the Database Index and cannot be scheduled."},
        {false, "E:\\db.qdb is not in the Database Checking Schedule."}};
    for (const auto& [add, text] : refused) {
        p.ui.ClearEvents();
        const std::string path = text.substr(0, text.find(' '));
        EXPECT_FALSE(add ? AddToSchedule(p.frame, path) : RemoveFromSchedule(p.frame, path));
        EXPECT_EQ(p.ui.Events(), C{MessageBoxEvent(text, "exclamation")});
    }

    // Another folder is made when it is missing.
    p.SetReg("Checking Schedule Directory", "E:\\sched\\");
    Schedule({kDatabase});
    EXPECT_EQ(ScheduleText(p, "E:\\sched\\"), Line(kDatabase, "2", "30", "5"));
    EXPECT_TRUE(p.FilesNamed(".new~").empty());
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
    EXPECT_EQ(dialog.m_scheduledDatabases, (C{kSecond, kDatabase}));
    dialog.m_scheduleSelection = 0;
    dialog.OnCommand(CScheduledCheckingDlg::IDC_REMOVE);
    EXPECT_EQ(dialog.m_indexDatabases, C{kSecond});
    EXPECT_EQ(ScheduledDatabases(p.frame), C{kDatabase});

    // Texts that are not an interval from 1 second to 596 hours start nothing.
    for (const C& interval :
         {C{"0", "0", "0"}, C{"1", "x", ""}, C{"-1", "0", "0"}, C{"596", "0", "1"}}) {
        p.ui.ClearEvents();
        dialog.m_hours = interval[0], dialog.m_minutes = interval[1];
        dialog.m_seconds = interval[2];
        dialog.OnCommand(CScheduledCheckingDlg::IDC_START);
        EXPECT_EQ(p.ui.Events(), C{MessageBoxEvent("Give the interval in whole hours, minutes and "
                                                   "seconds, from 1 second to 596 hours.",
                                                   "exclamation")});
    }
    EXPECT_TRUE(p.ui.timers.empty());
    p.SetReg("Config11", "N");
    dialog.m_hours = " 596 ", dialog.m_minutes = "0", dialog.m_seconds = "00";
    dialog.OnCommand(CScheduledCheckingDlg::IDC_START);
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 596u * 3600000u);
    EXPECT_EQ(dialog.m_stateText, "Scheduled checking is on.");
    std::string mode;
    EXPECT_TRUE(ReadSetting("Config11", mode));
    EXPECT_EQ(mode + dialog.m_hours, "P596");

    dialog.OnCommand(CScheduledCheckingDlg::IDC_STOP);
    EXPECT_TRUE(p.ui.timers.empty());
    EXPECT_EQ(p.ui.paneTexts[1], "");
    EXPECT_EQ(dialog.m_stateText, "Scheduled checking is off.");
}

TEST_F(ScheduleEditsTest, StartingReadsTheIntervalAndTheModeFromTheSettings) {
    struct Case {
        const char *hours, *minutes, *seconds, *mode;
        unsigned timer10;  // 0: nothing started
    };
    const Case cases[] = {
        {"1", "0", "0", "P", 3600000},
        {"-1", "90", "5", "P", 1805000},
        {"700", "0", "0", "P", 2147483647},  // what a timer holds at most
        {"0", "0", "0", "P", 0},
        {"-1", "0", "0", "P", 0},
        {"0", "0", "1", "N", 0},  // the logging check is not part of the program
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.hours) + ":" + c.minutes + ":" + c.seconds + " " + c.mode);
        noDb.StopScheduledChecking();
        SetInterval(c.hours, c.minutes, c.seconds);
        p.SetReg("Config11", c.mode);
        noDb.OnStartScheduledChecking();
        EXPECT_EQ(p.ui.timers.count(10) ? p.ui.timers.at(10).milliseconds : 0u, c.timer10);
        EXPECT_EQ(p.ui.timers.count(107), c.timer10 ? 1u : 0u);
        EXPECT_EQ(c.timer10 ? noDb.m_intervalSeconds : 0, int(c.timer10 / 1000));
    }
    // A setting that cannot be read says so, and counts as 0.
    p.ui.ClearEvents();
    SetInterval("0", "2", "5");
    p.SetReg("Config11", "P");
    p.RemoveReg("Config9");
    noDb.OnStartScheduledChecking();
    EXPECT_EQ(p.ui.Events(), C{MessageBoxEvent("Registry error.", "stop")});
    EXPECT_EQ(p.ui.timers.at(10).milliseconds, 5000u);
}

TEST_F(ScheduleEditsTest, TheCountdownShowsWhileNoDatabaseIsOpenAndTicksWaitWhileOneIs) {
    BuildThree("P");
    noDb.OnStartScheduledChecking();
    ASSERT_TRUE(Tick(107));
    EXPECT_EQ(p.ui.paneTexts[1], "Next scheduled check in 0:01:00");
    ASSERT_TRUE(Tick(10));  // an empty schedule: nothing is checked, the schedule runs on
    EXPECT_TRUE(p.ui.Events().empty());
    EXPECT_EQ(p.ui.timers.size(), 2u);

    Schedule({kDatabase});
    p.frame.m_databaseOpen = true;
    ASSERT_TRUE(Tick(107));
    EXPECT_EQ(p.ui.paneTexts[1], "");
    ASSERT_TRUE(Tick(10));
    EXPECT_TRUE(p.ui.Events().empty());
}

namespace {

// Once the change is marked committed, the schedule's place holds a folder, so the new
// schedule cannot be put there: the commit fails past its mark.
std::string g_blocked;
void BlockTheSchedule(const char* where) {
    if (std::string(where) != "commit recorded")
        return;
    ASSERT_EQ(unlink(g_blocked.c_str()), 0);
    ASSERT_EQ(mkdir(g_blocked.c_str(), 0700), 0);
    std::ofstream(g_blocked + "/in the way") << "x";
}

}  // namespace

// A change whose commit failed past its mark is finished by the next read of the schedule in
// the same run of the program.
TEST_F(ScheduleEditsTest, AChangeWhoseCommitFailedIsFinishedByTheNextReadInTheSameRun) {
    BuildThree("P");
    StoreSecondDatabase();
    Schedule({kDatabase});
    g_blocked =
        p.Host("C:\\Program Files\\Quillstead\\Checking Schedule\\Database Checking Schedule");
    SetStorageStopHook(BlockTheSchedule);
    EXPECT_FALSE(RunCommand([this] { AddToSchedule(p.frame, kSecond); }));
    SetStorageStopHook(nullptr);
    ASSERT_EQ(unlink((g_blocked + "/in the way").c_str()), 0);
    ASSERT_EQ(rmdir(g_blocked.c_str()), 0);
    EXPECT_EQ(ScheduledDatabases(p.frame), (C{kDatabase, kSecond}));
}

TEST(Countdown, SecondsLeftAndTheirText) {
    const auto now = std::chrono::steady_clock::now();
    const std::pair<int, int> left[] = {{60000, 60}, {59001, 60}, {59000, 59},
                                        {1, 1},      {0, 0},      {-5000, 0}};
    for (const auto& [ms, seconds] : left)
        EXPECT_EQ(SecondsUntil(now + std::chrono::milliseconds(ms), now), seconds) << ms;
    EXPECT_EQ(CountdownText(3599), "Next scheduled check in 0:59:59");
    EXPECT_EQ(CountdownText(2145600), "Next scheduled check in 596:00:00");
}

TEST(CheckCountdown, CountsToTheNextTickAndSaysWhenACheckWaits) {
    using namespace std::chrono;
    const steady_clock::time_point start;
    CheckCountdown countdown;
    countdown.Arm(start, 5000);
    EXPECT_EQ(countdown.Text(start + milliseconds(1)), "Next scheduled check in 0:00:05");
    EXPECT_EQ(countdown.SecondsLeft(start + milliseconds(4001)), 1);
    // A tick comes late: the next one is an interval after it, whatever the tick does.
    countdown.Ticked(start + milliseconds(5300));
    EXPECT_EQ(countdown.SecondsLeft(start + milliseconds(5300)), 5);
    // It could not run its check: the countdown says so instead of 0:00:00, until it runs.
    countdown.Wait();
    EXPECT_TRUE(countdown.Waiting());
    EXPECT_EQ(countdown.Text(start + seconds(20)), kCheckWaitingText);
    EXPECT_EQ(countdown.SecondsLeft(start + seconds(20)), 0);
    countdown.Clear();
    EXPECT_EQ(countdown.Text(start + milliseconds(7300)), "Next scheduled check in 0:00:03");
    countdown.Wait();
    countdown.Arm(start + seconds(30), 60000);  // started again: nothing waits
    EXPECT_FALSE(countdown.Waiting());
    EXPECT_EQ(countdown.Text(start + seconds(30)), "Next scheduled check in 0:01:00");
    EXPECT_EQ(std::string(kCheckWaitingText),
              "Scheduled check due, waiting for the current command");
}
