// The scheduled check's tests: the check's three backed-up files in E:\db.qdb (and, when a
// test asks, E:\two.qdb listing E:\d.txt), the no-database view that runs the schedule, and
// the timers' ticks delivered by hand through the scripted seam, as the window delivers them.
#pragma once

#include <string>
#include <vector>

#include "app/NoDatabaseView.h"
#include "check/CheckingSummaryDlg.h"
#include "tests/check/AcceptRestoreFixture.h"

class ScheduleFixture : public AcceptRestoreFixture {
  protected:
    ScheduleFixture();

    const std::string kSecond = "E:\\two.qdb";

    void StoreSecondDatabase();
    // Puts the databases into the schedule, as the dialog's Add does.
    void Schedule(const std::vector<std::string>& databases);
    void SetInterval(const char* hours, const char* minutes, const char* seconds);

    // Scheduled checking started from the settings, then one tick of timer 10, run as the
    // framework runs a timer handler (false when a file exception ended it); the events and
    // summaries start afresh.
    bool StartAndTick();
    bool Tick(int id);

    std::string IndexLineOf(const std::string& database) const;

    CCNoflview noDb{p.frame};
    std::vector<CCheckingSummaryDlg> summaries;
};

std::string ProgressLine(const std::string& caption);
std::string StatusLine(const std::string& text);
