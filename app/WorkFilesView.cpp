// The views' protected-storage operations on the database they work on.
#include "app/WorkFilesView.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/FileException.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/Recovery.h"

WorkFilesView::WorkFilesView(CMainFrame& frame) : m_frame(frame) {}

WorkFilesView::~WorkFilesView() = default;

void WorkFilesView::DecryptDatabaseToWorkFile(bool indexMustExist) {
    CloseWorkFiles();
    ForgetEarlierFailure();
    std::string backupDir;
    ReadSetting(settings::kBackupDir, backupDir);
    const std::string& path = WorkDatabasePath();
    auto work =
        std::make_unique<DatabaseFiles>(m_frame.m_fileKey, m_frame.m_indexIv, backupDir, path);
    int cause = 0;
    switch (work->Open(cause, indexMustExist)) {
        case DatabaseFiles::Opened::Unreadable:
            MarkDatabaseUnreadable();
            throw CFileException(cause, path);
        case DatabaseFiles::Opened::Changed:
            m_workChanged = true;
            break;
        case DatabaseFiles::Opened::Ok:
            m_workChanged = false;
            break;
    }
    m_work = std::move(work);
}

bool WorkFilesView::EncryptWorkFileToDatabase() {
    return m_work && m_work->Commit();
}

void WorkFilesView::UpdateDatabaseIndexEntry() {
    EncryptWorkFileToDatabase();
}

void WorkFilesView::CloseWorkFiles() noexcept {
    m_work.reset();
    m_workChanged = false;
}

std::string WorkFilesView::ChangedDatabaseText() const {
    return WorkDatabasePath() + " database file has been changed and cannot be checked!";
}

std::unique_ptr<DatabaseIndexImage> WorkFilesView::ReadDatabaseIndex() {
    std::string backupDir;
    if (!ReadSetting(settings::kBackupDir, backupDir))
        return nullptr;
    RecoverPending(m_frame.m_fileKey);
    auto index =
        std::make_unique<DatabaseIndexImage>(m_frame.m_fileKey, m_frame.m_indexIv, backupDir);
    index->Load();
    return index;
}
