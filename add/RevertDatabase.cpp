// RevertDatabaseToRecordCount, the undo of an add: the database keeps its first
// m_recordCount records and is stored, with its digest in its "Database Index" line. It works
// on the running command's hold on the stored files, or takes one of its own.
#include "database/ListView.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"

void CListview::RevertDatabaseToRecordCount() {
    const bool ownHold = !WorkFilesOpen();
    if (ownHold) {
        DecryptDatabaseToWorkFile();
        if (WorkDatabaseChanged()) {
            CloseWorkFiles();
            Ui().MessageBox(ChangedDatabaseText(), MbIcon::Exclamation);
            return;
        }
    }
    WorkFiles().Database().KeepFirstRecords(m_recordCount);
    if (!EncryptWorkFileToDatabase())
        Ui().MessageBox(ChangedDatabaseText(), MbIcon::Exclamation);
    if (ownHold)
        CloseWorkFiles();
}
