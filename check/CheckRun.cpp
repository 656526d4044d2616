// The check run: command 32774 and the phases around the pass (settings, the database's
// self-digest test, the counting pass, the progress dialog, the summary and the finish).
// The pass itself lives in CheckRunPass.cpp.
#include "check/CheckRun.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/ProgressScale.h"
#include "database/ListView.h"
#include "platform/Clock.h"
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

CheckRun::CheckRun(CListview& view)
    : m_view(view), m_frame(view.GetParentFrame()), m_databasePath(view.m_databasePath) {
    m_state.view = &view;
    m_state.frame = &m_frame;
    m_state.settings = &m_settings;
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

void CheckRun::Run() {
    ReadAlertSettings();
    if (m_view.m_recordCount == 0)
        return;

    // The database's digest is held to its "Database Index" line, so the index must be there.
    m_view.DecryptDatabaseToWorkFile(true);
    if (m_view.m_databaseUnreadable == 1) {
        m_view.m_databaseUnreadable = 0;
        return;
    }
    // The stored database must be the one whose digest its "Database Index" line keeps.
    if (m_view.WorkDatabaseChanged()) {
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        return;
    }
    CountRecords();

    m_progress = std::make_unique<CCheckProgressDlg>();
    m_progress->Create();
    m_progress->SetWindowText("Checking all files in Database: " + m_databasePath);
    OpenPass();

    if (RunPass()) {
        m_progress->SetPos(kBarEnd);
        m_progress->Close();
        ShowSummary();
    }
    Finish();
}

// Config14 (the WAV file) and then Config13 (the alert). A setting that cannot be read
// leaves the alert silent.
void CheckRun::ReadAlertSettings() {
    const bool wavRead = m_settings.AlertWav(m_wavPath);
    m_settings.Alert(m_alert);
    if (m_alert == 4 && !wavRead)
        m_alert = kSilentAlert;
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
    m_view.m_totalSize = m_totalSize;
    m_remainingBytes = m_totalSize;
    m_progressStep = ProgressStep(m_totalSize);
}

void CheckRun::OpenPass() {
    m_frame.m_checkWorkFile =
        std::make_unique<WorkCopyStream>(m_view.WorkFiles().Database().Plain());
    m_summary = std::make_unique<CCheckingSummaryDlg>();
}

void CheckRun::ShowSummary() {
    m_summary->Fill(m_databasePath, static_cast<unsigned long>(m_view.m_recordCount), m_checked,
                    m_changed, m_unchecked, platform::GetSystemTime());
    m_summary->DoModal();
}

// Also reached straight from a cancel: the time is recorded all the same.
void CheckRun::Finish() {
    m_view.m_countdownSeconds = 0;
    m_frame.m_checkWorkFile.reset();

    DatabaseFiles& files = m_view.WorkFiles();
    files.Index().SetLastChecked(m_databasePath, platform::GetSystemTimeAsFileTime());
    files.Commit();
    m_view.CloseWorkFiles();

    if (m_state.refill)
        m_view.OnInitialUpdate();
    m_summary.reset();
    m_progress.reset();
}
