// `CListview`, the model of the open database's list view. Its members are the commands of
// the adding and checking subsystems; each is defined in its own subsystem's folder:
//   database/  the fields, open, the refill (OnInitialUpdate) and the file-type lookup;
//   criteria/  the add-by-criteria commands' pre-scans (PrescanAddByAttributes,
//              PrescanAddByContents, PrescanAddByAbilities);
//   add/       AddOneFileToDatabase, OnDropFiles, OnPasteFiles, the add-by-criteria
//              commands (OnAddByAttributes, OnAddByContents, OnAddByAbilities) and their undo
//              (RevertDatabaseToRecordCount);
//   check/     OnCheckAllFiles (the check run and what it calls).
// The wx list view in gui/ shows m_records and routes the commands here.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/WorkFilesView.h"
#include "platform/WinTypes.h"
#include "storage/FileRecord.h"

class AddSession;
class CMainFrame;
class Settings;

// The protected-storage operations on the open database (DecryptDatabaseToWorkFile,
// WorkFiles, EncryptWorkFileToDatabase ...) are WorkFilesView's, on m_databasePath, with
// m_databaseUnreadable as their flag.
class CListview : public WorkFilesView {
  public:
    explicit CListview(CMainFrame& frame);
    ~CListview() override;

    const std::string& WorkDatabasePath() const override { return m_databasePath; }

    // ---- database/ ----
    // Opens a database that has a line in the "Database Index": sets m_databasePath and the
    // frame's open path, and fills the list. A clear message and false otherwise.
    bool OpenDatabase(const std::string& path);
    // Loads the open database again and fills the list (m_records, m_recordCount,
    // m_totalSize); tells the window through m_onRefilled.
    virtual void OnInitialUpdate();
    // The type name of a file; sets m_fileTypeIcon to its type's icon (icon 373 when none).
    std::string GetFileTypeDescription(const std::string& path);

    // ---- add/ ----
    void AddOneFileToDatabase(const std::string& path);
    void OnDropFiles(const std::vector<std::string>& files);  // WM_DROPFILES
    void OnPasteFiles();                                      // commands 57637 and 32828
    void OnAddByAttributes();                                 // command 32796
    void OnAddByContents();                                   // command 32818
    void OnAddByAbilities();                                  // command 32820
    // Keeps the database's first m_recordCount records (the undo of an add) and stores it.
    void RevertDatabaseToRecordCount();

    // ---- criteria/ ----
    // Shows "Add files to the database according to their attributes." until its location
    // is accepted or cancelled, counts what would be added, and fills the hand-over fields;
    // the settings are the command's.
    void PrescanAddByAttributes(Settings& settings);
    // The same with the contents dialog (template 291) and the abilities dialog (template
    // 293).
    void PrescanAddByContents(Settings& settings);
    void PrescanAddByAbilities(Settings& settings);

    // ---- check/ ----
    void OnCheckAllFiles();  // command 32774

    // ---- fields ----
    std::string m_databasePath;
    int m_recordCount = 0;
    double m_totalSize = 0;
    int m_databaseUnreadable = 0;
    int m_countdownSeconds = 0;
    std::string m_backupDirectory;
    Icon m_fileTypeIcon;
    int m_filesAdded = 0;
    int m_filesPreviouslyListed = 0;
    int m_backupListedFiles = 0;
    // The add command's hold on the stored files while a drop or a paste runs.
    AddSession* m_addSession = nullptr;

    // The add-by-criteria pre-scans' hand-over fields (written by a pre-scan, read by its
    // add command).
    int m_prescanCancelled = 0;
    std::string m_critLocation;  // a folder, or "*" for every drive
    int m_critNotifyIfListed = 0;
    int m_foundCount = 0;   // matching files not yet listed
    int m_listedCount = 0;  // matching files listed already
    double m_bytesToAdd = 0;
    std::string m_foundCountText;
    std::string m_foundSizeText;
    // The boxes of "Add files to the database according to their attributes.", 1 = ticked:
    // hidden, archive, read-only, system, the four "plus any others", any, compressed,
    // compressed plus, encrypted, encrypted plus.
    int m_critAttributes[13] = {};
    // The search of the add by contents: the typed text (m_critBareText); the pattern, with a
    // blank in front and one behind when whole word is ticked (m_critSearchText); the text
    // and a blank (m_critStartText); a blank and the text (m_critEndText); the pattern with
    // whole word, else empty (m_critPaddedText); and boxes 1170, 1256 and the choice 1174.
    std::string m_critSearchText;
    std::string m_critBareText;
    std::string m_critStartText;
    std::string m_critEndText;
    std::string m_critPaddedText;
    int m_critMatchCase = 0;
    int m_critWholeWord = 0;
    int m_critTextFilesOnly = 0;
    // The abilities of the add by abilities, 1 = chosen.
    int m_critAbilityNetwork = 0;
    int m_critAbilityCoreOs = 0;
    int m_critAbilityCookies = 0;

    // The list's rows, as the last fill read them.
    std::vector<FileRecord> m_records;
    // Called after every fill, so the window can redraw the list.
    std::function<void()> m_onRefilled;

  protected:
    // The flag tells of this decryption only: a failure of an earlier command (a removable
    // drive taken out) must not make this one end without a word.
    void ForgetEarlierFailure() override { m_databaseUnreadable = 0; }
    void MarkDatabaseUnreadable() override { m_databaseUnreadable = 1; }
};
