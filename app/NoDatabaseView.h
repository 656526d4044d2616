// `CCNoflview`, the model of the view shown while no database is open. Its members are the
// commands that work without an open database; each is defined in its own subsystem's
// folder:
//   app/       create a database, and the fields;
//   schedule/  the checking schedule: OnScheduledChecking (the "Scheduled Checking" dialog),
//              OnStartScheduledChecking, OnTimer (timers 10 and 107) and
//              CheckScheduledDatabase, the prompting check of one scheduled database.
// Its protected-storage operations (DecryptDatabaseToWorkFile, WorkFiles, ...) are
// WorkFilesView's, on m_workDatabasePath, with m_databaseUnopenable as their flag. It accepts
// no dropped files and no paste.
#pragma once

#include <chrono>
#include <string>

#include "app/WorkFilesView.h"
#include "schedule/Countdown.h"

class CMainFrame;

class CCNoflview : public WorkFilesView {
  public:
    explicit CCNoflview(CMainFrame& frame) : WorkFilesView(frame) {}

    const std::string& WorkDatabasePath() const override { return m_workDatabasePath; }

    // ---- app/ ----
    // The create-database command: a new backup number n (one above the highest in the
    // index, and free of existing "Backup File n" files), the index line with the path, n,
    // the creation FILETIME and the digest of the new, empty stored database, and
    // "Backup File n" and "Backup Index n" created empty. A path already in the index, or
    // one that cannot be recorded, is refused with a clear message. True when created.
    bool CreateDatabase(const std::string& path);

    // ---- schedule/ ----
    // The "Scheduled Checking" dialog: databases of the "Database Index" into the schedule
    // and out of it, the interval, and scheduled checking started or stopped.
    void OnScheduledChecking();
    // Reads the interval and the mode from the settings and, in mode "P" with an interval
    // of a second or more, sets timer 10 to the interval and timer 107 to 950 ms.
    void OnStartScheduledChecking();
    // Scheduled checking stopped by the user: both timers killed, the countdown gone.
    void StopScheduledChecking();
    // WM_TIMER: 10 checks every database of the "Database Checking Schedule" in turn, 107
    // moves the countdown on.
    void OnTimer(int id);
    // The prompting check of m_scheduledDatabasePath.
    void CheckScheduledDatabase();
    // After a check has closed the main window, nothing touches the view any more.
    bool MainWindowClosed() const { return m_mainWindowClosed; }
    // The window says while another command runs: a tick of timer 10 then waits for it.
    void SetOtherCommandRunning(bool running);
    // Whether a tick of timer 10 waits to run its checks, and running them once it may.
    bool CheckWaiting() const;
    void RunWaitingCheck();

    // ---- fields ----
    std::string m_workDatabasePath;
    int m_databaseUnopenable = 0;
    std::string m_scheduledDatabasePath;
    float m_intervalMs = 0;     // the scheduling interval
    int m_intervalSeconds = 0;  // seconds to the next check, as the countdown shows them
    int m_scheduleRunning = 0;  // 1 while scheduled checking is on
    int m_countdownSound = 0;   // Config12

  protected:
    // m_databaseUnopenable keeps an earlier failure: the scheduled check reads and clears it.
    void MarkDatabaseUnreadable() override { m_databaseUnopenable = 1; }

  private:
    friend class ScheduledCheck;
    // Timers 10 and 107 killed, the countdown at 0 and off the status bar.
    void StopSchedule();
    // Scheduled checking on again with its countdown at the whole interval.
    void RestartSchedule();
    // Sets timer 10 to the interval; the countdown runs to its next tick.
    void ArmCheckTimer();
    void ShowCountdown();
    void CloseMainWindow();
    // Checks every database of the schedule in turn (none while a database is open).
    void CheckTheSchedule();

    CheckCountdown m_countdown;
    bool m_otherCommandRunning = false;
    bool m_mainWindowClosed = false;
};
