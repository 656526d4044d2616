// AddOneFileToDatabase and the add session behind it: one file, given by its full path, is
// added to the open database. In order: the previously-listed test, the digest and the record
// together with the backup copy (Config5), and, at each commit, the copy of the database to
// its backup database (Config2); the database's digest in the "Database Index" is stored with
// the database at every commit. The outcome is told by the view's two counters; a failure
// raises the file exception after what was added before it is stored.
#include <exception>
#include <optional>

#include "add/AddFileRead.h"
#include "add/AddMessages.h"
#include "add/AddSession.h"
#include "add/BackupDatabase.h"
#include "add/OpenToAdd.h"
#include "app/MainFrame.h"
#include "app/Settings.h"
#include "database/ListView.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/FileRecord.h"

void CListview::AddOneFileToDatabase(const std::string& path) {
    if (m_addSession) {
        m_addSession->AddFile(path);
        return;
    }
    AddSession session(*this);
    if (session.Open()) {
        session.AddFile(path);
        session.Commit();
    }
}

AddSession::AddSession(CListview& view) : m_view(view) {}

AddSession::~AddSession() {
    if (!m_open)
        return;
    // A failure on its way ends the command: what was added before it is stored first. (On
    // every other way out the command has committed.)
    if (std::uncaught_exceptions() > 0) {
        try {
            Commit();
        } catch (const std::exception&) {
            // The failure already on its way is the one reported; nothing is left half-done.
        }
    }
    m_view.CloseWorkFiles();
    if (m_view.m_addSession == this)
        m_view.m_addSession = nullptr;
}

bool AddSession::Open() {
    m_view.DecryptDatabaseToWorkFile();
    if (m_view.WorkDatabaseChanged()) {
        m_view.CloseWorkFiles();
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        m_refused = true;
        return false;
    }
    m_open = true;
    m_lastCommit = std::chrono::steady_clock::now();
    m_settings.BackupAddedFiles(m_view.m_backupListedFiles);
    if (m_view.m_backupListedFiles == 1) {
        m_view.GetParentFrame().Store().BackupDir(m_settings, m_view.m_backupDirectory);
        m_settings.BackupMode(m_mode);
    }
    return true;
}

bool AddSession::Commit() {
    if (!m_open || m_refused)
        return false;
    if (m_pending == 0)
        return true;
    if (!m_view.EncryptWorkFileToDatabase()) {
        m_refused = true;
        Ui().MessageBox(m_view.ChangedDatabaseText(), MbIcon::Exclamation);
        return false;
    }
    m_pending = 0;
    m_lastCommit = std::chrono::steady_clock::now();
    CopyToBackupDatabase(m_view.GetParentFrame().Store(), m_view.m_databasePath, m_settings);
    return true;
}

void AddSession::CommitIfDue() {
    if (AddCommitDue(m_pending, std::chrono::steady_clock::now() - m_lastCommit))
        Commit();
}

BackupPair* AddSession::StartCopy(const std::string& path) {
    if (m_copiesStopped)
        return nullptr;
    BackupPair* pair = StartBackupCopy(m_view.WorkFiles(), m_view.m_backupDirectory,
                                       m_view.m_databasePath, path, IsEncryptedMode(m_mode));
    // Said once: the command's other files are added without a copy.
    m_copiesStopped = pair == nullptr;
    return pair;
}

void AddSession::AddFile(const std::string& path) {
    if (!m_open || m_refused)
        return;
    // A path the record line cannot hold is refused before anything is written.
    if (!IsRecordablePath(path)) {
        Ui().MessageBox(UnrecordablePathMessage(path), MbIcon::Exclamation);
        return;
    }
    StoredDatabase& database = m_view.WorkFiles().Database();
    if (database.Lists(path)) {
        Ui().MessageBox(PreviouslyListedMessage(path), MbIcon::Information);
        ++m_view.m_filesPreviouslyListed;
        return;
    }

    ++m_view.m_filesAdded;
    platform::CFile file;
    int cause = 0;
    switch (OpenFileToAdd(path, file, cause)) {
        case OpenOutcome::Opened:
            break;
        case OpenOutcome::FailedWithCause:
            Commit();  // the files added before stay added
            throw CFileException(cause, path);
        case OpenOutcome::FailedWithoutCause:
            // Nothing tells why, so nothing is read: the file is not added.
            --m_view.m_filesAdded;
            Ui().MessageBox(NotOpenedForReadingMessage(path), MbIcon::Exclamation);
            return;
    }

    BackupPair* pair = m_view.m_backupListedFiles == 1 ? StartCopy(path) : nullptr;
    // One read gives the digest and the copy.
    const AddFileRead read = ReadFileToAdd(file, pair);
    std::optional<CFileException> copyFailure = read.copyFailure;
    file.Close();
    const std::string& digest = read.digest;
    const uint64_t total = read.bytes;

    platform::WIN32_FIND_DATA find;
    if (!platform::GetFindData(path, find)) {
        if (pair)
            pair->AbandonCopy();
        Commit();
        throw CFileException(CFileException::fileNotFound, path);
    }
    const uint32_t size = uint32_t(total);
    database.AppendRecord(BuildFileRecordLine(MakeFileRecord(
                              path, digest, FormatAddedSizeField(size), find.dwFileAttributes,
                              find.ftLastWriteTime, find.ftCreationTime)) +
                          "\r\n");
    if (pair) {
        try {
            pair->FinishCopy(path, m_mode, size, digest);
        } catch (const CFileException& e) {
            copyFailure = e;
        }
    }
    ++m_pending;
    if (copyFailure) {
        Commit();
        throw *copyFailure;
    }
    CommitIfDue();
}
