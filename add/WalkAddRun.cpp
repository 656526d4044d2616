// The walk-and-add loop: the set-up, the walk, the per-file steps, the cancel sequence, the
// end at once, and the closing steps.
#include "add/WalkAddRun.h"

#include <malloc.h>

#include <exception>

#include "add/AddMessages.h"
#include "add/BackupDatabase.h"
#include "add/OpenToAdd.h"
#include "add/WalkAddMessages.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "criteria/CriteriaTexts.h"
#include "database/FileTypes.h"
#include "database/ListView.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"

namespace {
constexpr int kBarEnd = 65000;
constexpr int kFileText = 1005, kFilesText = 1114, kBytesText = 1115, kIcon = 1200;
}  // namespace

WalkAddRun::WalkAddRun(CListview& view, WalkAddCommand& command)
    : m_view(view), m_command(command) {}

// However the run ends, nothing stays held; a failure on its way first stores what was
// added before it (the failure already on its way is the one reported).
WalkAddRun::~WalkAddRun() {
    if (m_workMade && m_view.WorkFilesOpen() && std::uncaught_exceptions() > 0) {
        try {
            m_view.EncryptWorkFileToDatabase();
        } catch (const std::exception&) {
        }
    }
    m_view.CloseWorkFiles();
    m_progress.reset();
}

void WalkAddRun::Run() {
    m_command.Prescan(m_view, m_settings);
    m_settings.BackupMode(m_mode);
    if (m_view.m_prescanCancelled == 1)
        return;
    SetUp();
    if (m_view.m_foundCount > 0)
        Walk();
    switch (m_ending) {
        case Ending::Walked:
            Close();
            break;
        case Ending::Cancelled:
            CancelSequence();
            break;
        case Ending::AtOnce:
            EndAtOnce();
            break;
        case Ending::Refused:
            break;  // its message was shown
    }
}

void WalkAddRun::SetUp() {
    m_progress = std::make_unique<CAddProgressDlg>();
    if (m_view.m_foundCount != 0) {
        m_progress->Create();
        m_progress->SetWindowText(AddingFilesTitle(m_view.m_databasePath));
    }
    m_bar = std::make_unique<WalkAddProgress>(m_view.m_bytesToAdd);
    m_remainingFiles = m_view.m_foundCount;
    m_added = 0;
    m_listed = m_view.m_foundCount == 0 ? m_view.m_listedCount : 0;
    m_allDrives = m_view.m_critLocation == "*";
    m_criterion = m_command.MakeCriterion(m_view);
}

void WalkAddRun::Walk() {
    Locations locations(m_view.m_critLocation);
    FolderWalk walk;
    std::string start;
    while (locations.Next(start)) {
        m_view.m_critLocation = start;
        const WalkResult walked = walk.Walk(start, *this);
        if (walked == WalkResult::Stopped)
            return;
        // One folder that cannot be searched ends the locations; a drive is passed over.
        if (walked == WalkResult::NotSearched && !m_allDrives)
            return;
    }
}

// The first start folder that can be searched: the run takes hold of the database's files.
bool WalkAddRun::Started(const std::string&) {
    if (m_workMade)
        return true;
    m_view.DecryptDatabaseToWorkFile();
    if (m_view.WorkDatabaseChanged()) {
        m_view.CloseWorkFiles();
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        m_ending = Ending::Refused;
        return false;
    }
    m_workMade = true;
    // An undo keeps the records the database holds now, even where the list has not shown
    // them yet.
    m_view.m_recordCount = m_view.WorkFiles().Database().RecordCount();
    m_lastStore = std::chrono::steady_clock::now();
    return true;
}

bool WalkAddRun::Entry(const WalkEntry& entry) {
    if (m_progress->CheckCancelButton()) {
        m_ending = Ending::Cancelled;
        return false;
    }
    // The pre-scan named the entries whose paths no record can hold: they are passed over.
    if (!entry.DotName() && !WalkPathRecordable(entry))
        return true;
    Criterion::Verdict verdict = Criterion::Verdict::NoMatch;
    if (!entry.isFolder || m_criterion->TestsFolders()) {
        CriterionContext context{*m_progress, false};
        verdict = m_criterion->Test(entry, context);
        if (verdict == Criterion::Verdict::Cancelled) {
            m_ending = Ending::Cancelled;
            return false;
        }
        if (verdict == Criterion::Verdict::EndCommand) {
            m_ending = Ending::AtOnce;
            return false;
        }
    }
    if (entry.DotName() || entry.isFolder || verdict != Criterion::Verdict::Match)
        return true;
    return AddFile(WalkFilePath(entry));
}

bool WalkAddRun::AddFile(const std::string& path) {
    if (m_bar->Moves()) {
        m_progress->SetItemText(kFileText, path);
        if (m_remainingFiles > 0)
            --m_remainingFiles;
        m_view.m_foundCountText = CountText(m_remainingFiles);
        m_progress->SetItemText(kFilesText, m_view.m_foundCountText);
        m_view.m_fileTypeIcon = FileTypeIcon(path);
        m_progress->SetIcon(kIcon, m_view.m_fileTypeIcon);
    }

    if (m_view.WorkFiles().Database().Lists(path)) {
        ++m_listed;
        ++m_remainingFiles;
        if (m_view.m_critNotifyIfListed == 1)
            Ui().MessageBox(PreviouslyListedMessage(path), MbIcon::Information);
        StepBar(m_bar->TailStep(), nullptr);
        return true;
    }

    platform::CFile file;
    int cause = 0;
    switch (OpenFileToAdd(path, file, cause)) {
        case OpenOutcome::Opened:
            break;
        case OpenOutcome::FailedWithCause:
            Ui().MessageBox(CouldNotAddText(path, cause), MbIcon::Exclamation);
            ++m_remainingFiles;
            StepBar(m_bar->TailStep(), nullptr);
            return true;
        case OpenOutcome::FailedWithoutCause:
            // Nothing tells why, so the file is not read, and the command ends.
            Ui().MessageBox(OpenedWithoutCauseText(path), MbIcon::Stop);
            m_ending = Ending::AtOnce;
            return false;
    }
    return ReadAndRecord(path, file);
}

// The digest with its backup copy in one read, then the record.
bool WalkAddRun::ReadAndRecord(const std::string& path, platform::CFile& file) {
    m_settings.BackupAddedFiles(m_view.m_backupListedFiles);
    m_backUp = m_view.m_backupListedFiles == 1;
    if (m_backUp)
        m_view.GetParentFrame().Store().BackupDir(m_settings, m_view.m_backupDirectory);
    const bool encrypted = IsEncryptedMode(m_mode);
    BackupPair* pair = nullptr;
    if (m_backUp && !m_copiesStopped) {
        pair = StartBackupCopy(m_view.WorkFiles(), m_view.m_backupDirectory, m_view.m_databasePath,
                               path, encrypted);
        // Its message was shown once: the other files are added without a copy.
        m_copiesStopped = pair == nullptr;
    }
    const AddFileRead read = ReadFileToAdd(file, pair, this);
    file.Close();
    if (read.stopped) {
        m_ending = Ending::Cancelled;
        return false;
    }
    m_bar->Tail(read.bytes % 64);
    if (m_bar->Moves())
        ShowRemaining(" bytes.");

    platform::WIN32_FIND_DATA find;
    if (!platform::GetFindData(path, find)) {
        // Gone since it was read: it is not added.
        if (pair)
            pair->AbandonCopy();
        Ui().MessageBox(CouldNotAddText(path, CFileException::fileNotFound), MbIcon::Exclamation);
        ++m_remainingFiles;
        StepBar(m_bar->TailStep(), nullptr);
        return true;
    }
    const uint32_t size = uint32_t(read.bytes);
    m_view.WorkFiles().Database().AppendRecord(
        BuildFileRecordLine(MakeFileRecord(path, read.digest, FormatAddedSizeField(size),
                                           find.dwFileAttributes, find.ftLastWriteTime,
                                           find.ftCreationTime)) +
        "\r\n");
    ++m_added;
    ++m_pending;
    std::optional<CFileException> copyFailure = read.copyFailure;
    if (pair) {
        try {
            pair->FinishCopy(path, m_mode, size, read.digest);
        } catch (const CFileException& e) {
            copyFailure = e;
        }
    }
    // A copy that could not be written ends the run, as it ends the add of one file; the
    // record stays and what was added is stored on the way out.
    if (copyFailure)
        throw *copyFailure;
    StepBar(m_bar->TailStep(), nullptr);
    return CommitIfDue();
}

bool WalkAddRun::BeforePiece() {
    if (m_progress->CheckCancelButton())
        return false;
    StepBar(m_bar->Piece(), m_bar->SmallRun() ? " bytes." : m_command.LargeStepUnit());
    return true;
}

// A bar step (none for 0); `unit` null: a tail's step, which leaves the texts alone.
void WalkAddRun::StepBar(int amount, const char* unit) {
    if (amount == 0)
        return;
    m_progress->OffsetPos(amount);
    if (unit)
        ShowRemaining(unit);
}

void WalkAddRun::ShowRemaining(const char* unit) {
    m_view.m_foundSizeText = BytesFigureText(m_bar->Remaining(), unit);
    m_progress->SetItemText(kBytesText, m_view.m_foundSizeText);
}

bool WalkAddRun::CommitIfDue() {
    if (!AddCommitDue(m_pending, std::chrono::steady_clock::now() - m_lastStore))
        return true;
    return Store();
}

bool WalkAddRun::Store() {
    if (!m_view.EncryptWorkFileToDatabase()) {
        m_view.CloseWorkFiles();
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        m_ending = Ending::Refused;
        return false;
    }
    m_pending = 0;
    m_lastStore = std::chrono::steady_clock::now();
    return true;
}

void WalkAddRun::CancelSequence() {
    if (m_workMade && !Store())
        return;
    const MbResult keep =
        Ui().MessageBox(kKeepFilesQuestion, MbIcon::Exclamation, MbButtons::YesNo);
    if (keep == MbResult::No)
        m_view.RevertDatabaseToRecordCount();
    m_view.UpdateDatabaseIndexEntry();
    m_view.CloseWorkFiles();
    m_view.OnInitialUpdate();
    m_progress.reset();
}

// A file the command cannot tell anything about ended it: what was added is stored (no added
// record is lost), and the command ends without its message.
void WalkAddRun::EndAtOnce() {
    if (m_workMade && !Store())
        return;
    m_view.CloseWorkFiles();
    m_progress->Close();
    if (m_added > 0)
        m_view.OnInitialUpdate();
}

void WalkAddRun::Close() {
    if (m_workMade) {
        if (!Store())
            return;
        m_view.CloseWorkFiles();
        // A long walk held the database, its index and its backup pair in memory: what they
        // took goes back to the system before the list is filled again.
        malloc_trim(0);
    }
    if (m_bar->Moves()) {
        m_progress->SetPos(kBarEnd);
        m_view.m_foundSizeText = BytesFigureText(0, " bytes.");
        m_progress->SetItemText(kBytesText, m_view.m_foundSizeText);
    }
    CopyToBackupDatabase(m_view.GetParentFrame().Store(), m_view.m_databasePath, m_settings);
    m_view.UpdateDatabaseIndexEntry();

    const WalkAddOutcome outcome{m_added, m_listed, m_allDrives, m_view.m_critLocation};
    if (m_added >= 1) {
        m_view.OnInitialUpdate();
        const std::string text = m_command.AddedText(outcome);
        m_progress->Close();
        Ui().MessageBox(text, MbIcon::Information);
        return;
    }
    const bool none = m_listed == 0;
    const std::string text = none ? m_command.NoneText(outcome) : m_command.AllListedText(outcome);
    if (m_command.ClosesDialogBeforeBox())
        m_progress->Close();
    Ui().MessageBox(text, none ? MbIcon::Exclamation : MbIcon::Information);
    m_progress->Close();
}
