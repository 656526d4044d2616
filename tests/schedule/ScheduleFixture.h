// The scheduled check's tests: the check's three backed-up files in E:\db.qdb (and, when a
// test asks, a second database), the no-database view that runs the schedule, and timer 10's
// tick delivered by hand through the scripted seam, as the window's timer would deliver it.
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

    // E:\two.qdb listing E:\d.txt, with its line (backup number 2) after the first's.
    void StoreSecondDatabase();
    // Puts the databases into the schedule, as the dialog's Add does.
    void Schedule(const std::vector<std::string>& databases);
    void SetInterval(const char* hours, const char* minutes, const char* seconds);

    // Scheduled checking started from the settings, then one tick of timer 10 run as the
    // framework runs a timer handler; false when a file exception ended it. The events and the
    // summaries start afresh.
    bool StartAndTick();
    // One tick of timer `id` as the framework runs it (nothing when it is not set).
    bool Tick(int id);

    // The "Database Index" line of a database (empty when it has none).
    std::string IndexLineOf(const std::string& database) const;
    // Events of one kind ("messagebox", "progress", "dialog", "status", ...), in order.
    std::vector<std::string> EventsOf(const std::string& kind) const;

    CCNoflview noDb{p.frame};
    std::vector<CCheckingSummaryDlg> summaries;
};

// The event line of a progress caption and of a status text.
std::string ProgressLine(const std::string& caption);
std::string StatusLine(const std::string& text);
