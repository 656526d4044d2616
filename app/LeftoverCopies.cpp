// The frame's clean-up on close and at the end of the session: what a command left half-done
// is finished or undone and every plaintext copy left behind is wiped, by the same recovery
// the start-up runs (storage/Recovery.h, whose names cover the copies earlier versions of the
// program made on disk). Nothing here throws: the program is ending.
#include <exception>
#include <string>

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "platform/Registry.h"
#include "storage/Recovery.h"
#include "storage/StoredFileNames.h"
#include "storage/TempFiles.h"

void CMainFrame::DeleteLeftoverWorkCopies() noexcept {
    if (!m_hasKey)
        return;
    try {
        std::string backupDir;
        platform::RegReadValue(settings::kBackupDir, backupDir);
        RecoverStorage(m_fileKey, m_indexIv, backupDir);
        if (!m_openDatabasePath.empty()) {
            TempFiles::WipeIfPresent(DatabaseWorkCopyPath(m_openDatabasePath));
            TempFiles::WipeIfPresent(DatabaseRewritePath(m_openDatabasePath));
        }
    } catch (const std::exception&) {
        // The program is closing; what could not be reached is recovered at the next start.
    }
}
