// The check run: command 32774 and the phases around the pass (settings, the database's
// self-digest test, the counting pass, the progress dialog, the summary and the finish).
// The pass itself lives in CheckRunPass.cpp.
#include "check/CheckRun.h"

#include <exception>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "check/ProgressScale.h"
#include "database/ListView.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

constexpr int kBarEnd = 65000;

// The MD5 digest of a whole open file, fed as its 64-byte blocks and then the rest. The
// count of whole blocks comes from the stream's length, which for a regular file is the
// count a read to its end gives.
std::string DigestWholeFile(platform::CFile& file) {
    Md5Context ctx;
    MD5Init(&ctx);
    unsigned char block[64];
    const int64_t blocks = file.Length() / 64;
    for (int64_t i = 0; i < blocks; ++i) {
        size_t n = file.Read(block, sizeof block);
        MD5Update(&ctx, block, n);
        if (n < sizeof block)
            break;
    }
    size_t n;
    while ((n = file.Read(block, sizeof block)) > 0) MD5Update(&ctx, block, n);
    return DigestHex(MD5Final(&ctx));
}

}  // namespace

void CListview::OnCheckAllFiles() {
    CheckRun run(*this);
    run.Run();
}

CheckRun::CheckRun(CListview& view)
    : m_view(view),
      m_frame(view.GetParentFrame()),
      m_databasePath(view.m_databasePath),
      m_workCopyPath(DatabaseWorkCopyPath(view.m_databasePath)),
      m_uncaughtAtStart(std::uncaught_exceptions()) {
    m_state.view = &view;
    m_state.frame = &m_frame;
}

// A file exception that ends the run leaves no working copy behind.
CheckRun::~CheckRun() {
    if (std::uncaught_exceptions() <= m_uncaughtAtStart)
        return;
    m_frame.m_checkWorkFile.reset();
    TempFiles::WipeIfPresent(m_workCopyPath);
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

    m_view.DecryptDatabaseToWorkFile();
    if (m_view.m_databaseUnreadable == 1) {
        m_view.m_databaseUnreadable = 0;
        return;
    }
    if (!DatabaseDigestIsKept()) {
        Ui().MessageBox(m_databasePath + " database file has been changed and cannot be checked!",
                        MbIcon::Exclamation);
        CloseAndWipeWorkCopy();
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
    bool wavRead = ReadSetting(settings::kAlertWav, m_wavPath);
    std::string alertText;
    if (ReadSetting(settings::kAlert, alertText))
        ScanInt(alertText, m_alert);
    if (m_alert == 4 && !wavRead)
        m_alert = kSilentAlert;
}

bool CheckRun::DatabaseDigestIsKept() {
    platform::CFile stored;
    stored.OpenOrThrow(m_databasePath, "rb+");
    const std::string computed = DigestWholeFile(stored);
    stored.Close();

    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    const std::string copyPath = DatabaseIndexWorkPath(backupDir);
    TempFiles wipe;
    wipe.Wipe(copyPath);
    DecryptFileWithIv(m_frame.m_fileKey, DatabaseIndexPath(backupDir), copyPath, m_frame.m_indexIv);
    platform::CFile copy;
    copy.OpenOrThrow(copyPath, "rb", platform::Share::DenyAll);
    // The database's first line holds its digest, as for every reader of the index.
    bool found = false;
    std::string kept, line;
    while (copy.ReadLine(line)) {
        if (IndexLineBelongsTo(line, m_databasePath)) {
            found = IndexField(line, 5, kept);
            break;
        }
    }
    copy.Close();
    SecureDeleteFile(copyPath);
    return !found || kept == computed;
}

// N is the number of record lines, however long; T the sum of their size fields.
void CheckRun::CountRecords() {
    {
        platform::CFile work;
        work.OpenOrThrow(m_workCopyPath, "rb+", platform::Share::DenyAll);
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
        work.Close();
    }
    SecureDeleteFile(m_workCopyPath);
    m_view.m_totalSize = m_totalSize;
    m_remainingBytes = m_totalSize;
    m_progressStep = ProgressStep(m_totalSize);
}

void CheckRun::OpenPass() {
    m_view.DecryptDatabaseToWorkFile();
    m_frame.m_checkWorkFile = std::make_unique<platform::CFile>();
    m_frame.m_checkWorkFile->OpenOrThrow(m_workCopyPath, "rb+", platform::Share::DenyAll);
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
    CloseAndWipeWorkCopy();

    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    RecordLastChecked(m_frame.m_fileKey, m_frame.m_indexIv, backupDir, m_databasePath,
                      platform::GetSystemTimeAsFileTime());

    if (m_state.refill)
        m_view.OnInitialUpdate();
    m_summary.reset();
    m_progress.reset();
}

void CheckRun::CloseAndWipeWorkCopy() {
    if (m_frame.m_checkWorkFile) {
        m_frame.m_checkWorkFile->Close();
        m_frame.m_checkWorkFile.reset();
    }
    if (platform::FileExists(m_workCopyPath))
        SecureDeleteFile(m_workCopyPath);
}
