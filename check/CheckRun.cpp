// The check run: command 32774 and the phases around the pass (settings, the database's
// self-digest test, the counting pass, the progress dialog, the summary and the last-checked
// time). The pass itself lives in CheckRunPass.cpp.
#include "check/CheckRun.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/ProgressScale.h"
#include "database/ListView.h"
#include "platform/Clock.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"
#include "storage/WorkCopyStream.h"

namespace {

constexpr int kBarEnd = 65000;

}  // namespace

void CListview::OnCheckAllFiles() {
    CheckRun run(*this);
    run.Run();
}

CheckRun::CheckRun(CListview& view) : CheckRun(static_cast<WorkFilesView&>(view), {}) {
    m_list = &view;
}

CheckRun::CheckRun(WorkFilesView& view, const CheckRunRules& rules)
    : m_view(view), m_list(nullptr), m_frame(view.GetParentFrame()), m_rules(rules) {
    m_state.view = &view;
    m_state.frame = &m_frame;
    m_state.settings = &m_settings;
    m_state.restoreStraightToReady = rules.restoreStraightToReady;
}

// However the run ends, its working copy (in memory) goes and nothing stays held.
CheckRun::~CheckRun() {
    m_frame.m_checkWorkFile.reset();
    m_view.CloseWorkFiles();
}

// Truncated, the share is 0 for a total above about 4.16 GB; CountBlock then adds up its
// fractions.
int CheckRun::ProgressStep(double totalSize) {
    return int(CheckBarShare(totalSize));
}

const std::string& CheckRun::DatabasePath() const {
    return m_view.WorkDatabasePath();
}

void CheckRun::Run() {
    ReadAlertSettings();
    if (m_list->m_recordCount == 0) {
        // Nothing listed to check, but a database emptied behind the program's back no longer
        // has the digest its "Database Index" line keeps.
        if (ListlessDatabaseChanged())
            RefuseChangedDatabase();
        return;
    }
    OpenWorkFiles();
    if (m_list->m_databaseUnreadable == 1) {
        m_list->m_databaseUnreadable = 0;
        return;
    }
    if (DatabaseChanged()) {
        RefuseChangedDatabase();
        return;
    }
    CheckRecords();
    Finish();
}

// A setting that cannot be read leaves the alert silent.
void CheckRun::ReadAlertSettings() {
    const bool wavRead = m_settings.AlertWav(m_wavPath);
    m_settings.Alert(m_alert);
    if (m_alert == 4 && !wavRead)
        m_alert = kSilentAlert;
}

// The database's digest is held to its "Database Index" line, so the index must be there.
void CheckRun::OpenWorkFiles() {
    m_view.DecryptDatabaseToWorkFile(true);
}

bool CheckRun::DatabaseChanged() const {
    return m_view.WorkDatabaseChanged();
}

// A database that cannot be read is left as the list found it: nothing to check.
bool CheckRun::ListlessDatabaseChanged() {
    try {
        m_view.DecryptDatabaseToWorkFile();
    } catch (const CFileException&) {
        m_list->m_databaseUnreadable = 0;
        return false;
    }
    const bool changed = m_view.WorkDatabaseChanged();
    m_view.CloseWorkFiles();
    return changed;
}

void CheckRun::RefuseChangedDatabase() {
    Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
}

void CheckRun::CheckRecords() {
    CountRecords();
    m_progress = std::make_unique<CCheckProgressDlg>();
    m_progress->Create();
    m_progress->SetWindowText("Checking all files in Database: " + DatabasePath());
    OpenPass();

    if (RunPass()) {
        m_progress->SetPos(kBarEnd);
        m_progress->Close();
        ShowSummary();
    }
}

// N is the number of record lines, however long; T the sum of their size fields.
void CheckRun::CountRecords() {
    WorkCopyStream work(m_view.WorkFiles().Database().Plain());
    std::string line;
    std::vector<std::string> fields;
    while (work.ReadLine(line)) {
        ++m_state.recordsCounted;
        SplitFields(line, fields);
        if (fields.size() > 3) {
            FileRecord sized;
            sized.size = fields[2];
            m_totalSize += sized.SizeValue();
        }
    }
    WipeText(line);
    // Without a list view the total only scales the bar.
    if (m_list)
        m_list->m_totalSize = m_totalSize;
    m_remainingBytes = m_totalSize;
    m_progressStep = ProgressStep(m_totalSize);
}

void CheckRun::OpenPass() {
    m_frame.m_checkWorkFile =
        std::make_unique<WorkCopyStream>(m_view.WorkFiles().Database().Plain());
    m_summary = std::make_unique<CCheckingSummaryDlg>();
}

bool CheckRun::TakesAnotherRecord() const {
    if (m_rules.boundByFilesChecked)
        return m_checked < static_cast<unsigned long>(m_state.recordsCounted);
    return m_state.recordsBegun < m_state.recordsCounted;
}

void CheckRun::ShowSummary() {
    const int listed = m_list ? m_list->m_recordCount : m_state.recordsCounted;
    m_summary->Fill(DatabasePath(), static_cast<unsigned long>(listed), m_checked, m_changed,
                    m_unchecked, platform::GetSystemTime());
    m_summary->DoModal();
}

void CheckRun::CloseWorkCopy() {
    m_frame.m_checkWorkFile.reset();
}

void CheckRun::RecordLastChecked() {
    DatabaseFiles& files = m_view.WorkFiles();
    files.Index().SetLastChecked(DatabasePath(), platform::GetSystemTimeAsFileTime());
    files.Commit();
    m_view.CloseWorkFiles();
}

// Also reached straight from a cancel: the time is recorded all the same.
void CheckRun::Finish() {
    m_list->m_countdownSeconds = 0;
    CloseWorkCopy();
    RecordLastChecked();
    if (m_state.refill)
        m_list->OnInitialUpdate();
    m_summary.reset();
    m_progress.reset();
}
