// The check tests' database builder (see CheckTestDatabase.h).
#include "tests/check/CheckTestDatabase.h"

#include "storage/ProtectedFile.h"

CheckTestDatabase::CheckTestDatabase(TempPrefix& p, std::string databasePath)
    : prefix(p), path(std::move(databasePath)), view(p.frame) {}

void CheckTestDatabase::AddFile(const std::string& winPath, const std::string& bytes) {
    prefix.WriteFile(winPath, bytes);
    AddRecordOf(winPath);
}

void CheckTestDatabase::AddRecordOf(const std::string& winPath) {
    lines.push_back(AddedRecordLine(prefix, winPath));
}

void CheckTestDatabase::Store(bool indexLine) {
    std::string plain;
    for (const std::string& line : lines) plain += line;
    StoreProtected(prefix, path, plain, DatabaseIv(path));

    otherIndexLine = CreatedIndexLine("E:\\db\\other.qdb", 1, std::string(32, 'f')) + "\n";
    createdIndexLine = CreatedIndexLine(path, 2) + "\n";
    StoreDatabaseIndex(prefix,
                       otherIndexLine + (indexLine ? createdIndexLine : "") + laterIndexLine);

    view.m_databasePath = path;
    view.m_recordCount = int(lines.size());
    prefix.frame.m_openDatabasePath = path;
    prefix.frame.m_databaseOpen = true;
}
