// One check of all files of a database, from its start to its end: the alert settings, the
// database's own digest against its "Database Index" line, the counting pass, the pass that
// digests every listed file again in 64-byte blocks under the progress dialog, the report of
// each change with the user's choice, the summary, and the last-checked time. The working
// copy is the database's plaintext in memory; a file exception ends the run where it is
// raised, and the run lets its working copy and the stored files go however it ends.
//
// The check of the open database (command 32774) runs every phase through Run. The checking
// schedule's prompting check (schedule/ScheduledCheck) runs the same phases itself, around
// its own steps, on a database that no list view holds; CheckRunRules say where its phases
// differ.
#pragma once

#include <memory>
#include <string>

#include "app/ProgressDialogs.h"
#include "app/Settings.h"
#include "check/AlertSound.h"
#include "check/CheckDigests.h"
#include "check/CheckRunState.h"
#include "check/CheckingSummaryDlg.h"

class CListview;
class WorkFilesView;

// Where the scheduled check's phases differ from the interactive check's.
struct CheckRunRules {
    // The pass takes a further record while fewer than N files count as checked, so that each
    // file that cannot be opened lets one more record in; otherwise while fewer than N
    // records have been begun.
    bool boundByFilesChecked = false;
    // The restore's status pane goes straight to "Ready" once the original's copy is made.
    bool restoreStraightToReady = false;
};

class CheckRun {
  public:
    // The check of the open database: the list view's record count decides whether there is
    // anything to check and is the summary's number of files listed; the list is refilled
    // after an acceptance.
    explicit CheckRun(CListview& view);
    // A check of the database of a view that holds no list: the summary's number of files
    // listed is the N records counted, and nothing is refilled.
    CheckRun(WorkFilesView& view, const CheckRunRules& rules);
    ~CheckRun();
    CheckRun(const CheckRun&) = delete;
    CheckRun& operator=(const CheckRun&) = delete;

    // The check of the open database, every phase in its order.
    void Run();

    // ---- the phases, in their order ----
    // Config14 (the WAV file) and then Config13 (the alert).
    void ReadAlertSettings();
    // Opens the database's stored files; its "Database Index" must be there. A database that
    // cannot be read sets the view's unreadable flag and raises the file exception.
    void OpenWorkFiles();
    // Whether the stored database is not the one whose digest its "Database Index" line keeps;
    // RefuseChangedDatabase says so.
    bool DatabaseChanged() const;
    void RefuseChangedDatabase();
    // With no record listed: whether the stored database (an emptied one, say) is not the
    // one whose digest its "Database Index" line keeps.
    bool ListlessDatabaseChanged();
    // The counting pass, the progress dialog, the pass, and the summary unless the user
    // cancelled.
    void CheckRecords();
    // Ends the pass's stream on the working copy (the frame's m_checkWorkFile).
    void CloseWorkCopy();
    // The last-checked time into the database's "Database Index" line, stored; the stored
    // files are then let go.
    void RecordLastChecked();

    // The records counted (N) and the files counted as checked so far.
    int RecordsCounted() const { return m_state.recordsCounted; }
    unsigned long FilesChecked() const { return m_checked; }

    // The progress step: the share of the bar's 0..65000 range that 64,000 digested bytes
    // stand for, for a total recorded size T. A total below 64,000 bytes (0 included) gives
    // the whole bar.
    static int ProgressStep(double totalSize);

  private:
    const std::string& DatabasePath() const;
    void CountRecords();
    void OpenPass();
    // Whether the pass takes a further record (the working copy having one).
    bool TakesAnotherRecord() const;
    // False when the user cancelled.
    bool RunPass();
    bool CheckRecord(const std::string& line);
    void ShowRecord(const std::string& path);
    enum class Digested { Done, Unreadable, Cancelled };
    // The record's file as the pool reads it, with the cancel poll and the block count of a
    // read in 64-byte blocks; Unreadable sets the cause.
    Digested DigestListedFile(std::string& digest, int& cause);
    void CountBlock();
    // A changed file's values as one read gave them (CheckRunChange.cpp): the digest of the
    // read kept in m_read*, and the file's find data while it still holds the state that
    // read ended in; a file that changed while or since it was read is read again. Done with
    // the digest of the last read (which may be the stored one again).
    Digested TakeChangedFile(std::string& digest, int& cause);
    // Reads the record's file again in the pass's own thread, polling Cancel between pieces.
    Digested ReadAgain(std::string& digest, int& cause);
    // Whether the file still holds the state its details show.
    bool StillAsShown() const;
    // The alert, the message, "Changed file details." and the choice; false when the user
    // cancelled while the file was read again.
    bool ReportChange(const std::string& line);
    void ShowSummary();
    // The interactive check's finish: the countdown, the work copy, the last-checked time,
    // the refill.
    void Finish();

    WorkFilesView& m_view;
    CListview* m_list;  // null when no list view holds the database
    CMainFrame& m_frame;
    const CheckRunRules m_rules;
    Settings m_settings;

    int m_alert = kSilentAlert;
    std::string m_wavPath;

    CheckRunState m_state;
    double m_totalSize = 0;  // T
    int m_progressStep = 0;
    double m_remainingBytes = 0;
    int m_blockCounter = 0;
    unsigned long m_checked = 0, m_changed = 0, m_unchecked = 0;

    std::unique_ptr<CheckDigests> m_digests;  // during the pass
    // The read the details of a changed file show: its stamp at its end, whether the file kept
    // that stamp through the read, and the bytes it digested.
    FileStamp m_readStamp;
    bool m_readSteady = false;
    uint64_t m_readBytes = 0;
    std::unique_ptr<CCheckProgressDlg> m_progress;
    std::unique_ptr<CCheckingSummaryDlg> m_summary;
};
