// One check of all files of the open database, from command 32774 to its end: the alert
// settings, the database's own digest against its "Database Index" line, the counting pass,
// the pass that digests every listed file again in 64-byte blocks under the progress
// dialog, the report of each change with the user's choice, the summary, and the finish
// that records the last-checked time. The working copy is the database's plaintext in
// memory; a file exception ends the run where it is raised, and the run lets its working
// copy and the stored files go however it ends.
#pragma once

#include <memory>
#include <string>

#include "app/ProgressDialogs.h"
#include "app/Settings.h"
#include "check/AlertSound.h"
#include "check/CheckRunState.h"
#include "check/CheckingSummaryDlg.h"

namespace platform {
class CFile;
}

class CheckRun {
  public:
    explicit CheckRun(CListview& view);
    ~CheckRun();
    CheckRun(const CheckRun&) = delete;
    CheckRun& operator=(const CheckRun&) = delete;

    void Run();

    // The progress step: the share of the bar's 0..65000 range that 64,000 digested bytes
    // stand for, for a total recorded size T. A total below 64,000 bytes (0 included) gives
    // the whole bar.
    static int ProgressStep(double totalSize);

  private:
    void ReadAlertSettings();
    void CountRecords();
    void OpenPass();
    // False when the user cancelled.
    bool RunPass();
    bool CheckRecord(const std::string& line);
    void ShowRecord(const std::string& path);
    // The file's digest in 64-byte blocks with a cancel poll before each; false when the
    // user cancelled (the file is then closed).
    bool DigestListedFile(platform::CFile& file, std::string& digest);
    void CountBlock();
    void ReportChange(const std::string& line);
    void ShowSummary();
    void Finish();

    CListview& m_view;
    CMainFrame& m_frame;
    Settings m_settings;
    const std::string m_databasePath;

    int m_alert = kSilentAlert;
    std::string m_wavPath;

    CheckRunState m_state;
    double m_totalSize = 0;  // T
    int m_progressStep = 0;
    double m_remainingBytes = 0;
    int m_blockCounter = 0;
    unsigned long m_checked = 0, m_changed = 0, m_unchecked = 0;

    std::unique_ptr<CCheckProgressDlg> m_progress;
    std::unique_ptr<CCheckingSummaryDlg> m_summary;
};
