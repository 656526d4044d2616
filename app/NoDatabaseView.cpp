// The view shown while no database is open: the create-database command (the new, empty
// database, its line in the "Database Index" and its empty backup pair). The new line joins
// the index in memory and is committed by the index's transaction, so no plaintext copy of the
// index reaches the disk.
#include "app/NoDatabaseView.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "storage/Recovery.h"
#include "storage/Transaction.h"

namespace {

bool IsFullFilePath(const std::string& path) {
    return path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\' && path.back() != '\\';
}

// Creates an empty file; the file exception when it cannot be made.
void CreateEmptyFile(const std::string& path) {
    platform::CFile file;
    file.OpenOrThrow(path, "wb", platform::Share::DenyAll);
    if (!file.Close())
        throw CFileException(CFileException::hardIO, path);
}

// One above the highest backup number in the index, moved on past numbers whose backup
// files exist already (left by a database removed from the index).
unsigned NewBackupNumber(const std::vector<std::string>& lines, const std::string& backupDir) {
    unsigned long highest = 0;
    for (const std::string& line : lines) {
        std::string field;
        if (!IndexField(line, 2, field) || field.empty())
            continue;
        char* end = nullptr;
        const unsigned long n = std::strtoul(field.c_str(), &end, 10);
        if (*end == '\0' && n > highest)
            highest = n;
    }
    unsigned n = static_cast<unsigned>(highest + 1);
    while (platform::FileExists(BackupFilePath(backupDir, std::to_string(n))) ||
           platform::FileExists(BackupIndexPath(backupDir, std::to_string(n))))
        ++n;
    return n;
}

void Refuse(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation, MbButtons::Ok);
}

}  // namespace

bool CCNoflview::CreateDatabase(const std::string& path) {
    if (!IsRecordablePath(path)) {
        Refuse(UnrecordablePathMessage(path));
        return false;
    }
    if (!IsFullFilePath(path)) {
        Refuse(path + " is not a full path of a file (such as C:\\Data\\files.qdb).");
        return false;
    }
    std::string backupDir;
    if (!ReadSetting(settings::kBackupDir, backupDir))
        return false;

    RecoverPending(m_frame.m_fileKey);
    DatabaseIndexImage index(m_frame.m_fileKey, m_frame.m_indexIv, backupDir);
    index.Load();
    const std::vector<std::string> lines = index.Lines();
    for (const std::string& line : lines) {
        if (IndexLineBelongsTo(line, path)) {
            Refuse(path + " is already a database.");
            return false;
        }
    }
    if (platform::FileExists(path)) {
        Refuse(path + " already exists.");
        return false;
    }

    // The backup pair first: should the database then fail, the pair left behind only moves
    // the next database's number on, while a database left without its index line would
    // block its own path.
    const unsigned n = NewBackupNumber(lines, backupDir);
    CreateEmptyFile(BackupFilePath(backupDir, std::to_string(n)));
    CreateEmptyFile(BackupIndexPath(backupDir, std::to_string(n)));
    // An empty database is an empty protected file.
    CreateEmptyFile(path);

    index.AddLine(BuildDatabaseIndexLine(path, n, platform::GetSystemTimeAsFileTime(),
                                         DigestStoredFile(path)));
    Transaction tx(m_frame.m_fileKey);
    index.Stage(tx);
    tx.Commit();
    return true;
}
