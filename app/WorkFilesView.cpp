// The views' protected-storage operations on the database they work on.
#include "app/WorkFilesView.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/FileException.h"
#include "storage/DatabaseFiles.h"
#include "storage/DatabaseIndexImage.h"

WorkFilesView::WorkFilesView(CMainFrame& frame) : m_frame(frame) {}

WorkFilesView::~WorkFilesView() = default;

void WorkFilesView::DecryptDatabaseToWorkFile(bool indexMustExist) {
    CloseWorkFiles();
    ForgetEarlierFailure();
    ProtectedStore& store = m_frame.Store();
    Settings settings;
    std::string backupDir;
    store.BackupDir(settings, backupDir);
    const std::string& path = WorkDatabasePath();
    auto work = store.DatabaseFilesOf(backupDir, path);
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
    ProtectedStore& store = m_frame.Store();
    Settings settings;
    std::string backupDir;
    if (!store.BackupDir(settings, backupDir))
        return nullptr;
    return store.IndexOf(backupDir);
}
