// The list view's own part: opening a database listed in the "Database Index", loading it
// into the list (decrypted in memory, so no plaintext copy reaches the disk), and the
// file-type lookup.
#include "database/ListView.h"

#include "app/MainFrame.h"
#include "app/Settings.h"
#include "database/FileTypes.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/DatabaseFiles.h"
#include "storage/WorkCopyStream.h"

CListview::CListview(CMainFrame& frame) : WorkFilesView(frame) {}

CListview::~CListview() = default;

bool CListview::OpenDatabase(const std::string& path) {
    const auto index = ReadDatabaseIndex();
    if (!index)
        return false;
    std::string line;
    if (!index->FindLine(path, line)) {
        Ui().MessageBox(path + " is not listed in the Database Index and cannot be opened.",
                        MbIcon::Exclamation, MbButtons::Ok);
        return false;
    }
    m_databasePath = path;
    m_frame.m_openDatabasePath = path;
    m_frame.m_databaseOpen = true;
    OnInitialUpdate();
    return true;
}

void CListview::OnInitialUpdate() {
    const auto stored = m_frame.Store().DatabaseOf(m_databasePath);
    StoredDatabase& database = *stored;
    int cause = 0;
    if (!database.Load(cause))
        throw CFileException(cause, m_databasePath);

    std::vector<FileRecord> records;
    records.reserve(size_t(database.RecordCount()));
    double total = 0;
    // The lines are read where the database holds them: no second copy of its plaintext.
    size_t at = 0;
    for (std::string line; NextLine(database.Plain(), at, line);) {
        // A damaged line still counts as a record; it shows what it holds.
        FileRecord record;
        ParseFileRecordLine(line, record);
        total += record.SizeValue();
        records.push_back(std::move(record));
    }
    m_records = std::move(records);
    m_recordCount = static_cast<int>(m_records.size());
    m_totalSize = total;
    if (m_onRefilled)
        m_onRefilled();
}

std::string CListview::GetFileTypeDescription(const std::string& path) {
    m_fileTypeIcon = FileTypeIcon(path);
    return FileTypeName(path);
}
