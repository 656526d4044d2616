// AddOneFileToDatabase: adds one file, given by its full path, to the open database. In
// order: the previously-listed test, the digest and the record, the backup copy (Config5),
// the copy of the database to its backup database (Config2), and the refresh of the
// database's digest in the "Database Index". The outcome is told by the two counters; a
// failure raises the file exception. Every plaintext copy made here is wiped before the
// routine is left, however it is left.
#include <cerrno>
#include <exception>

#include "add/AddCleanup.h"
#include "add/AddMessages.h"
#include "add/BackupCopy.h"
#include "add/BackupDatabase.h"
#include "add/ListedTest.h"
#include "add/OpenToAdd.h"
#include "app/Settings.h"
#include "database/ListView.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "platform/Ui.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

// Opens the working copy shared with nobody; a failure names the database.
void OpenWorkCopy(platform::CFile& work, const std::string& workPath, const char* mode,
                  const std::string& databasePath) {
    int cause = 0;
    if (!work.Open(workPath, mode, platform::Share::DenyAll, &cause))
        throw CFileException(cause, databasePath);
}

// Once the database holds the new record, a later step that fails still leaves the
// database's digest in the "Database Index" refreshed, so the check does not take the
// database for one changed behind the program's back. It runs only while the failure's
// exception passes, and never adds one of its own.
class RefreshDigestOnFailure {
  public:
    explicit RefreshDigestOnFailure(CListview& view)
        : m_view(view), m_exceptions(std::uncaught_exceptions()) {}
    ~RefreshDigestOnFailure() {
        if (std::uncaught_exceptions() <= m_exceptions)
            return;
        try {
            m_view.UpdateDatabaseIndexEntry();
        } catch (const std::exception&) {
            // The failure already being reported is the one that counts.
        }
    }
    RefreshDigestOnFailure(const RefreshDigestOnFailure&) = delete;
    RefreshDigestOnFailure& operator=(const RefreshDigestOnFailure&) = delete;

  private:
    CListview& m_view;
    int m_exceptions;
};

}  // namespace

void CListview::AddOneFileToDatabase(const std::string& path) {
    // A path the record line cannot hold is refused before anything is written.
    if (!IsRecordablePath(path)) {
        Ui().MessageBox(UnrecordablePathMessage(path), MbIcon::Exclamation);
        return;
    }
    const std::string workPath = DatabaseWorkCopyPath(m_databasePath);

    // The previously-listed test.
    {
        TempFiles temps;
        DecryptDatabaseToWorkFile();
        temps.Wipe(workPath);
        bool listed = false;
        {
            platform::CFile work;
            OpenWorkCopy(work, workPath, "rb+", m_databasePath);
            listed = IsPathListed(work, path);
            work.Close();
        }
        SecureDeleteFile(workPath);
        temps.Keep(workPath);
        if (listed) {
            Ui().MessageBox(PreviouslyListedMessage(path), MbIcon::Information);
            ++m_filesPreviouslyListed;
            return;
        }
    }

    // The digest and the record.
    ++m_filesAdded;
    platform::CFile file;
    platform::WIN32_FIND_DATA find;
    {
        TempFiles temps;
        DecryptDatabaseToWorkFile();
        temps.Wipe(workPath);
        platform::CFile work;
        OpenWorkCopy(work, workPath, "at", m_databasePath);

        int cause = 0;
        const OpenOutcome opened = OpenFileToAdd(path, file, cause);
        if (opened != OpenOutcome::Opened) {
            work.Close();
            SecureDeleteFile(workPath);
            temps.Keep(workPath);
            if (opened == OpenOutcome::FailedWithCause)
                throw CFileException(cause, path);
            // Nothing tells why, so nothing is read: the file is not added.
            --m_filesAdded;
            Ui().MessageBox(NotOpenedForReadingMessage(path), MbIcon::Exclamation);
            return;
        }

        const std::string digest = DigestFromStart(file);
        if (!platform::GetFindData(path, find))
            throw CFileException(CFileException::fileNotFound, path);
        const FileRecord record =
            MakeFileRecord(path, digest, FormatAddedSizeField(find.nFileSizeLow),
                           find.dwFileAttributes, find.ftLastWriteTime, find.ftCreationTime);
        if (!work.PutS(BuildFileRecordLine(record) + "\n")) {
            const int err = errno;
            work.Close();
            CFileException::ThrowWriteError(err, m_databasePath);
        }
        if (!work.Close())
            CFileException::ThrowWriteError(errno, m_databasePath);

        EncryptWorkFileToDatabase();
        SecureDeleteFile(workPath);
        temps.Keep(workPath);
    }

    RefreshDigestOnFailure refreshOnFailure(*this);

    // The backup copy of the file.
    std::string backUpText;
    ReadSetting(settings::kBackupAddedFiles, backUpText);
    ScanInt(backUpText, m_backupListedFiles);
    if (m_backupListedFiles == 1)
        BackUpAddedFile(*this, path, file, find.nFileSizeLow);

    CopyToBackupDatabase(m_databasePath);
    UpdateDatabaseIndexEntry();
    file.Close();
}
