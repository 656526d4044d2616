// The protected-storage operations a view has on the database it works on, once for both
// views: the list view (`CListview`) works on its open database m_databasePath, the view
// shown while no database is open (`CCNoflview`) on m_workDatabasePath. A running command
// holds the database's stored files through them (a DatabaseFiles: the database in memory,
// its "Database Index" line and its backup pair), so no plaintext working copy reaches the
// disk; a database that cannot be read sets the view's own unreadable flag.
#pragma once

#include <memory>
#include <string>

class CMainFrame;
class DatabaseFiles;
class DatabaseIndexImage;

class WorkFilesView {
  public:
    explicit WorkFilesView(CMainFrame& frame);
    virtual ~WorkFilesView();
    WorkFilesView(const WorkFilesView&) = delete;
    WorkFilesView& operator=(const WorkFilesView&) = delete;

    CMainFrame& GetParentFrame() { return m_frame; }
    // The database the operations below work on.
    virtual const std::string& WorkDatabasePath() const = 0;

    // Opens the database's stored files for the running command: a database that cannot be
    // read sets the view's unreadable flag and raises the file exception.
    // WorkDatabaseChanged() then tells whether the stored database is not the one the
    // program last wrote (its digest differs from its "Database Index" line).
    void DecryptDatabaseToWorkFile(bool indexMustExist = false);
    bool WorkFilesOpen() const { return m_work != nullptr; }
    DatabaseFiles& WorkFiles() { return *m_work; }
    bool WorkDatabaseChanged() const { return m_workChanged; }
    // Stores what the command changed: the database together with its digest in its
    // "Database Index" line, and the backup pair. False (nothing stored) when the database
    // was changed behind the program's back meanwhile.
    bool EncryptWorkFileToDatabase();
    // The database's digest in its "Database Index" line travels with every store, so this
    // stores whatever is pending, as EncryptWorkFileToDatabase does.
    void UpdateDatabaseIndexEntry();
    // Ends the command's hold; what was not stored is undone.
    void CloseWorkFiles() noexcept;
    // The text shown when a command meets a database changed behind the program's back.
    std::string ChangedDatabaseText() const;

  protected:
    // The "Database Index" as it stands, read after whatever recovery is pending; null when
    // the backup folder setting cannot be read ("Registry error." was shown).
    std::unique_ptr<DatabaseIndexImage> ReadDatabaseIndex();
    // As a decryption begins: a view whose flag tells of this decryption only clears it.
    virtual void ForgetEarlierFailure() {}
    // Sets the view's unreadable flag to 1.
    virtual void MarkDatabaseUnreadable() = 0;

    CMainFrame& m_frame;

  private:
    std::unique_ptr<DatabaseFiles> m_work;
    bool m_workChanged = false;
};
