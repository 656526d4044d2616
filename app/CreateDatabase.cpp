// The create-database command of the view shown while no database is open: a new, empty
// database, its line in the "Database Index" and its empty backup pair, made in one
// transaction, so an interruption leaves either all of them or none.
#include <cctype>
#include <cstdlib>
#include <string>

#include "app/MainFrame.h"
#include "app/NoDatabaseView.h"
#include "app/Settings.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/DatabaseIndexImage.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/StoredFileNames.h"
#include "storage/Transaction.h"

namespace {

bool IsFullFilePath(const std::string& path) {
    return path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           path[2] == '\\' && path.back() != '\\';
}

// One above the highest backup number in the index, moved on past numbers whose backup
// files exist already (left by a database removed from the index): a new pair never meets
// another's copies or digests.
unsigned NewBackupNumber(const DatabaseIndexImage& index, const std::string& backupDir) {
    unsigned long highest = 0;
    for (const std::string& line : index.Lines()) {
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
           platform::FileExists(BackupIndexPath(backupDir, std::to_string(n))) ||
           platform::FileExists(BackupDigestsPath(backupDir, std::to_string(n))))
        ++n;
    return n;
}

void Refuse(const std::string& text) {
    Ui().MessageBox(text, MbIcon::Exclamation, MbButtons::Ok);
}

std::string EmptyFileDigest() {
    Md5Context ctx;
    MD5Init(&ctx);
    return DigestHex(MD5Final(&ctx));
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
    const auto indexRead = ReadDatabaseIndex();
    if (!indexRead)
        return false;
    DatabaseIndexImage& index = *indexRead;
    const std::string& backupDir = index.BackupDir();
    std::string line;
    if (index.FindLine(path, line)) {
        Refuse(path + " is already a database.");
        return false;
    }
    if (platform::FileExists(path)) {
        Refuse(path + " already exists.");
        return false;
    }

    // An empty database is an empty protected file; its pair starts empty too.
    const std::string n = std::to_string(NewBackupNumber(index, backupDir));
    const auto tx = m_frame.Store().NewTransaction();
    tx->Stage(BackupFilePath(backupDir, n), std::string());
    tx->Stage(BackupIndexPath(backupDir, n), std::string());
    tx->Stage(path, std::string());
    index.AddLine(BuildDatabaseIndexLine(path, unsigned(std::stoul(n)),
                                         platform::GetSystemTimeAsFileTime(), EmptyFileDigest()));
    index.Stage(*tx);
    tx->Commit();
    return true;
}
