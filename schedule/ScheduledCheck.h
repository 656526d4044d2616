// The prompting check of one scheduled database (`CheckScheduledDatabase`, run at a tick of
// timer 10 for each database of the "Database Checking Schedule"): the check of all files,
// with its dialogs and choices, on a database that no list view holds. It stops the schedule
// while it runs, takes the database into the view's m_workDatabasePath and the frame's
// m_openDatabasePath, ends quietly on an empty database, refuses a database changed behind
// the program's back and starts the schedule again, checks, starts the schedule again,
// records the last-checked time and reads the schedule's settings once more. A database
// left unreadable by an earlier decryption ends the program with a message, so that the
// start-up's recovery sets it right.
#pragma once

#include "check/CheckRun.h"

class CCNoflview;
class CMainFrame;

class ScheduledCheck {
  public:
    explicit ScheduledCheck(CCNoflview& view);
    ScheduledCheck(const ScheduledCheck&) = delete;
    ScheduledCheck& operator=(const ScheduledCheck&) = delete;

    void Run();

  private:
    void TakeDatabase();
    // The flag of an earlier failed decryption: the program closes.
    void CloseOnInconsistency();

    CCNoflview& m_view;
    CMainFrame& m_frame;
    CheckRun m_check;
};
