// The add-by-criteria pre-scan: the criteria dialog until its location is accepted, the
// hand-over, the counting walk under the searching dialog, and the free-space test.
#include "criteria/Prescan.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "criteria/CriteriaDlg.h"
#include "criteria/CriteriaTexts.h"
#include "database/ListView.h"
#include "platform/FileSystems.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"

namespace {

constexpr std::chrono::milliseconds kShowFoundEvery(100);

Prescan::FreeSpaceFn g_freeSpace = platform::GetDiskFreeBytes;

}  // namespace

Prescan::FreeSpaceFn Prescan::SetFreeSpaceProbe(FreeSpaceFn probe) {
    FreeSpaceFn previous = g_freeSpace;
    g_freeSpace = probe ? probe : platform::GetDiskFreeBytes;
    return previous;
}

Prescan::Prescan(CListview& view, Settings& settings) : m_view(view), m_settings(settings) {}

// The database was only read: letting it go changes nothing.
Prescan::~Prescan() {
    m_search.reset();
    if (m_database)
        m_view.CloseWorkFiles();
}

void Prescan::Run(CCriteriaDlg& dialog,
                  const std::function<std::unique_ptr<Criterion>()>& criterion) {
    m_view.m_prescanCancelled = 0;
    if (!AskCriteria(dialog)) {
        m_view.m_prescanCancelled = 1;
        return;
    }
    dialog.HandOver(m_view);
    m_criterion = criterion();
    if (!Search() || !FreeSpaceAllows())
        m_view.m_prescanCancelled = 1;
}

bool Prescan::AskCriteria(CCriteriaDlg& dialog) {
    while (dialog.DoModal() == IDOK) {
        dialog.TakeHostLocation();
        const std::string refusal = dialog.LocationRefusal();
        if (refusal.empty())
            return true;
        Ui().MessageBox(refusal, MbIcon::Exclamation);
    }
    return false;
}

bool Prescan::Search() {
    m_view.m_foundCount = 0;
    m_view.m_listedCount = 0;
    m_view.m_bytesToAdd = 0;
    m_copyBytes = 0;
    // The copies' room is only asked for when each added file is backed up.
    int backUpAddedFiles = 0;
    m_settings.BackupAddedFiles(backUpAddedFiles);
    m_backUp = backUpAddedFiles == 1;
    if (m_backUp)
        m_settings.BackupMode(m_mode);

    // An unreadable database raises the file exception, which ends the command.
    m_view.DecryptDatabaseToWorkFile();
    if (m_view.WorkDatabaseChanged()) {
        m_view.CloseWorkFiles();
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        return false;
    }
    m_database = &m_view.WorkFiles().Database();

    m_search = std::make_unique<CSearchProgressDlg>();
    m_search->Create();
    m_search->SetWindowText(kSearchingCaption);
    ShowFound(true);
    Locations locations(m_view.m_critLocation);
    FolderWalk walk;
    std::string start;
    while (locations.Next(start)) {
        const WalkResult walked = walk.Walk(start, *this);
        if (walked == WalkResult::Stopped)
            return false;
        if (walked == WalkResult::NotSearched && locations.AllDrives() &&
            platform::DriveIsMapped(start[0]) && !platform::CanSearchFolder(start))
            Ui().MessageBox(DriveNotSearchedText(start[0]), MbIcon::Exclamation);
    }
    ShowFound(true);
    m_search->Close();
    m_view.CloseWorkFiles();
    m_database = nullptr;
    return true;
}

void Prescan::Searching(const std::string& folder) {
    m_search->SetItemText(CSearchProgressDlg::IDC_FOLDER, folder);
}

bool Prescan::Entry(const WalkEntry& entry) {
    if (m_search->CheckCancelButton())
        return false;
    // An entry whose path no record can hold is passed over before it is tested, and named.
    if (!entry.DotName() && !WalkPathRecordable(entry)) {
        Ui().MessageBox(PassedOverNameText(WalkFilePath(entry)), MbIcon::Exclamation);
        return true;
    }
    Criterion::Verdict verdict = Criterion::Verdict::NoMatch;
    if (!entry.isFolder || m_criterion->TestsFolders()) {
        CriterionContext context{*m_search, true};
        verdict = m_criterion->Test(entry, context);
        if (verdict == Criterion::Verdict::Cancelled || verdict == Criterion::Verdict::EndCommand)
            return false;
    }
    if (entry.DotName() || entry.isFolder || verdict != Criterion::Verdict::Match)
        return true;
    const std::string path = WalkFilePath(entry);
    if (m_database->Lists(path)) {
        ++m_view.m_listedCount;
        return true;
    }
    ++m_view.m_foundCount;
    const uint64_t size = entry.find.Size();
    m_view.m_bytesToAdd += double(size);
    const uint32_t low = uint32_t(size);
    m_copyBytes += m_mode == "N" ? 16.0 * ((uint64_t(low) + 15) / 16) : double(size);
    ShowFound(false);
    return true;
}

// The count and size found so far, at most ten times a second unless `now`.
void Prescan::ShowFound(bool now) {
    const auto time = std::chrono::steady_clock::now();
    if (!now && time - m_lastShown < kShowFoundEvery)
        return;
    m_lastShown = time;
    m_view.m_foundCountText = CountText(m_view.m_foundCount);
    m_view.m_foundSizeText = BytesFigureText(m_view.m_bytesToAdd, " bytes.");
    m_search->SetItemText(CSearchProgressDlg::IDC_FOUND_COUNT, m_view.m_foundCountText);
    m_search->SetItemText(CSearchProgressDlg::IDC_FOUND_SIZE, m_view.m_foundSizeText);
}

bool Prescan::FreeSpaceAllows() {
    if (!m_backUp)
        return true;
    std::string backupDir;
    if (!m_view.GetParentFrame().Store().BackupDir(m_settings, backupDir))
        return true;
    uint64_t available = 0;
    // Where the free space cannot be learnt, nothing is asked.
    if (!g_freeSpace(backupDir, available) || m_copyBytes <= double(available))
        return true;
    return Ui().MessageBox(FreeSpaceQuestion(uint64_t(m_copyBytes), available, backupDir),
                           MbIcon::Exclamation, MbButtons::OkCancel) == MbResult::Ok;
}
