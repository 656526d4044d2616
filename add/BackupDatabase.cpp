// The copy of the database to its backup database.
#include "add/BackupDatabase.h"

#include <memory>

#include "app/ProtectedStore.h"
#include "app/Settings.h"
#include "platform/File.h"
#include "storage/PlaintextNote.h"
#include "storage/StoredFileNames.h"

std::string NameAfterLastBackslash(const std::string& path) {
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string BackupDatabasePath(const std::string& databasePath, const std::string& suffix,
                               bool beside, const std::string& folder) {
    std::string base = databasePath;
    if (!beside) {
        base = folder;
        if (base.empty() || base.back() != '\\')
            base += '\\';
        base += NameAfterLastBackslash(databasePath);
    }
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot > 0)
        return base.substr(0, dot) + suffix + base.substr(dot);
    return base + suffix;
}

void CopyToBackupDatabase(ProtectedStore& store, const std::string& databasePath,
                          Settings& settings) {
    int keep = 0;
    settings.KeepBackupDatabase(keep);
    if (keep != 1)
        return;
    std::string suffix;
    settings.BackupDatabaseSuffix(suffix);
    int beside = 1;
    settings.BackupDatabaseBeside(beside);
    std::string folder;
    if (beside == 0)
        settings.BackupDatabaseDir(folder);

    const std::string target = BackupDatabasePath(databasePath, suffix, beside != 0, folder);
    const std::string temp = CopyTempPath(target);
    const std::unique_ptr<PlaintextNote> note = store.NoteOf(temp);
    platform::CopyFile(databasePath, target, false, temp);
}
