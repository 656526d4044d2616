// `CCNoflview`, the model of the view shown while no database is open: the commands that
// work without one (create and open a database) and the fields its protected-storage
// operations work on. It accepts no dropped files and no paste.
#pragma once

#include <string>

class CMainFrame;

class CCNoflview {
  public:
    explicit CCNoflview(CMainFrame& frame) : m_frame(frame) {}

    CMainFrame& GetParentFrame() { return m_frame; }

    // The create-database command: a new backup number n (one above the highest in the
    // index, and free of existing "Backup File n" files), the index line with the path, n,
    // the creation FILETIME and the digest of the new, empty stored database, and
    // "Backup File n" and "Backup Index n" created empty. A path already in the index, or
    // one that cannot be recorded, is refused with a clear message. True when created.
    bool CreateDatabase(const std::string& path);

    // Per-view protected storage on m_workDatabasePath (m_databaseUnopenable is the flag).
    void DecryptDatabaseToWorkFile();
    void EncryptWorkFileToDatabase();
    void UpdateDatabaseIndexEntry();

    std::string m_workDatabasePath;
    int m_databaseUnopenable = 0;

  private:
    CMainFrame& m_frame;
};
