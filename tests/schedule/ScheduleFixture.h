// The scheduled check's tests: the check's three backed-up files in E:\db.qdb (and, when a
// test asks, E:\two.qdb listing E:\d.txt), the no-database view that runs the schedule, and
// the timers' ticks delivered by hand through the scripted seam, as the window delivers them.
#pragma once

#include <string>
#include <vector>

#include "app/NoDatabaseView.h"
#include "check/CheckingSummaryDlg.h"
#include "platform/Ui.h"
#include "schedule/ScheduleEdits.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/ProtectedFile.h"
#include "tests/check/AcceptRestoreFixture.h"

class ScheduleFixture : public AcceptRestoreFixture {
  protected:
    ScheduleFixture() {
        p.SetReg("Config13", "3");
        SetInterval("0", "1", "0");
        p.frame.m_openDatabasePath.clear();
        p.ui.onDialog = [this](CDialog& dialog) {
            if (auto* s = dynamic_cast<CCheckingSummaryDlg*>(&dialog))
                summaries.push_back(*s);
        };
    }

    const std::string kSecond = "E:\\two.qdb";

    void StoreSecondDatabase() {
        p.WriteFile("E:\\d.txt", "fourth file\n");
        StoreProtected(p, kSecond, AddedRecord("E:\\d.txt"), DatabaseIv(kSecond));
        StoreDatabaseIndex(p, DatabaseIndexText(p) + CreatedIndexLine(kSecond, 2) + "\n");
    }

    // Puts the databases into the schedule, as the dialog's Add does.
    void Schedule(const std::vector<std::string>& databases) {
        for (const std::string& database : databases) ASSERT_TRUE(AddToSchedule(p.frame, database));
    }

    void SetInterval(const char* hours, const char* minutes, const char* seconds) {
        p.SetReg("Config8", hours);
        p.SetReg("Config9", minutes);
        p.SetReg("Config10", seconds);
    }

    // Scheduled checking started from the settings, then one tick of timer 10, run as the
    // framework runs a timer handler (false when a file exception ended it); the events and
    // summaries start afresh.
    bool StartAndTick() {
        p.ui.ClearEvents();
        summaries.clear();
        noDb.OnStartScheduledChecking();
        return Tick(10);
    }
    bool Tick(int id) {
        return RunCommand([&] { p.ui.Tick(id); });
    }

    std::string IndexLineOf(const std::string& database) const {
        DatabaseIndexImage index(p.frame.Store().FileKey(), p.frame.Store().IndexIv(),
                                 p.BackupDir());
        index.Load();
        std::string line;
        index.FindLine(database, line);
        return line;
    }

    CCNoflview noDb{p.frame};
    std::vector<CCheckingSummaryDlg> summaries;
};
