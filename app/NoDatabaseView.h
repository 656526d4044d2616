// `CCNoflview`, the model of the view shown while no database is open: the commands that
// work without an open database (create a database) and the fields. Its protected-storage
// operations (DecryptDatabaseToWorkFile, WorkFiles, ...) are WorkFilesView's, on
// m_workDatabasePath, with m_databaseUnopenable as their flag. It accepts no dropped files
// and no paste.
#pragma once

#include <string>

#include "app/WorkFilesView.h"

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

    // ---- fields ----
    std::string m_workDatabasePath;
    int m_databaseUnopenable = 0;

  protected:
    void MarkDatabaseUnreadable() override { m_databaseUnopenable = 1; }
};
