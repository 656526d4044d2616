// The view shown while no database is open: the protected-storage operations on
// m_workDatabasePath. The create-database command is in CreateDatabase.cpp.
#include "app/NoDatabaseView.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "app/MainFrame.h"
#include "app/ProtectedRead.h"
#include "app/Settings.h"
#include "platform/Clock.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

void CCNoflview::DecryptDatabaseToWorkFile() {
    ::DecryptDatabaseToWorkFile(m_frame.m_fileKey, m_workDatabasePath, m_databaseUnopenable);
}

void CCNoflview::EncryptWorkFileToDatabase() {
    ::EncryptWorkFileToDatabase(m_frame.m_fileKey, m_workDatabasePath);
}

void CCNoflview::UpdateDatabaseIndexEntry() {
    std::string backupDir;
    // Without the backup folder there is no index to refresh ("Registry error." was shown).
    if (!ReadSetting(settings::kBackupDir, backupDir))
        return;
    ::UpdateDatabaseIndexEntry(m_frame.m_fileKey, m_frame.m_indexIv, backupDir, m_workDatabasePath);
}
