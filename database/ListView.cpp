// The list view's own part: opening a database listed in the "Database Index", loading it
// into the list (decrypted in memory, so no plaintext copy reaches the disk), and the
// file-type lookup.
#include "database/ListView.h"

#include <algorithm>

#include "app/MainFrame.h"
#include "app/ProtectedRead.h"
#include "app/Settings.h"
#include "database/FileTypes.h"
#include "platform/FileException.h"
#include "platform/Ui.h"
#include "storage/DatabaseIndex.h"
#include "storage/ProtectedFile.h"

CListview::CListview(CMainFrame& frame) : WorkFilesView(frame) {}

CListview::~CListview() = default;

bool CListview::OpenDatabase(const std::string& path) {
    std::string backupDir;
    if (!ReadSetting(settings::kBackupDir, backupDir))
        return false;
    std::string line;
    if (!FindDatabaseIndexLine(m_frame.m_fileKey, m_frame.m_indexIv, backupDir, path, line)) {
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
    const std::string plain =
        ReadProtectedFile(m_frame.m_fileKey, m_databasePath, DatabaseIv(m_databasePath));

    std::vector<FileRecord> records;
    records.reserve(size_t(std::count(plain.begin(), plain.end(), '\n')) + 1);
    double total = 0;
    size_t start = 0;
    while (start < plain.size()) {
        size_t end = plain.find('\n', start);
        end = end == std::string::npos ? plain.size() : end + 1;
        const std::string line = plain.substr(start, end - start);
        start = end;
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
