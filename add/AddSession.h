// The stored files an add command holds from its first file to its last: the database (its
// working copy in memory), its "Database Index" line and its backup pair are opened once per
// command, each file's record and backup copy go into them, and they are committed together
// every few hundred files or every second, and at the end, so a long drop or paste stays
// linear in the number of files and an interruption loses little. Whatever is added stays
// added however the command ends; a file whose add failed half-way leaves nothing of itself.
// Each added file is read once: its digest and its backup copy come from the same bytes.
#pragma once

#include <chrono>
#include <string>

#include "app/Settings.h"

class CListview;
class BackupPair;

class AddSession {
  public:
    explicit AddSession(CListview& view);
    // Lets go; while a failure's exception passes, what was added before it is committed.
    ~AddSession();
    AddSession(const AddSession&) = delete;
    AddSession& operator=(const AddSession&) = delete;

    // Opens the stored files. False when the database was changed behind the program's back
    // (the message is shown, nothing is added); an unreadable database raises the file
    // exception with m_databaseUnreadable set.
    bool Open();
    // False once the stored database was found changed behind the program's back while the
    // command ran: the command stops.
    bool Refused() const { return m_refused; }

    // The add of one file (AddOneFileToDatabase's steps); the view's counters tell the outcome.
    void AddFile(const std::string& path);
    // Commits what is pending and makes the backup database; false when refused.
    bool Commit();

  private:
    void CommitIfDue();
    BackupPair* StartCopy(const std::string& path);

    CListview& m_view;
    Settings m_settings;
    std::string m_mode;  // Config17
    int m_pending = 0;
    std::chrono::steady_clock::time_point m_lastCommit;
    bool m_open = false;
    bool m_refused = false;
    bool m_copiesStopped = false;  // a copy could not be begun: no more are tried
};
