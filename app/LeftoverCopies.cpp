// The frame's recovery of the stored files: at start-up right after the password, and again
// on close and at the end of the session. What a command left half-done is finished or undone
// and every plaintext copy left behind is wiped (storage/Recovery.h, whose names cover the
// copies earlier versions of the program made on disk). The close's clean-up never throws:
// the program is ending.
#include <exception>
#include <string>

#include "app/MainFrame.h"
#include "storage/ProtectedFile.h"
#include "storage/StoredFileNames.h"

void CMainFrame::RecoverStoredFiles() {
    Store().RecoverAll();
}

void CMainFrame::DeleteLeftoverWorkCopies() noexcept {
    if (!m_store)
        return;
    try {
        m_store->RecoverAll();
        if (!m_openDatabasePath.empty()) {
            WipeIfPresent(DatabaseWorkCopyPath(m_openDatabasePath));
            WipeIfPresent(DatabaseRewritePath(m_openDatabasePath));
        }
    } catch (const std::exception&) {
        // The program is closing; what could not be reached is recovered at the next start.
    }
}
