// The check tests' database builder (see CheckTestDatabase.h).
#include "tests/check/CheckTestDatabase.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <stdexcept>

#include "platform/File.h"
#include "platform/FindData.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/ProtectedFile.h"

std::string Md5Hex(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

void SetModifiedTime(const TempPrefix& prefix, const std::string& winPath, long long unixSeconds) {
    struct timespec times[2];
    times[0].tv_sec = time_t(unixSeconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, prefix.Host(winPath).c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + winPath);
}

CheckTestDatabase::CheckTestDatabase(TempPrefix& p, std::string databasePath)
    : prefix(p), path(std::move(databasePath)), view(p.frame) {}

void CheckTestDatabase::AddFile(const std::string& winPath, const std::string& bytes) {
    prefix.WriteFile(winPath, bytes);
    AddRecordOf(winPath);
}

void CheckTestDatabase::AddRecordOf(const std::string& winPath) {
    const std::string bytes = prefix.ReadFile(winPath);
    platform::WIN32_FIND_DATA data;
    if (!platform::GetFindData(winPath, data))
        throw std::runtime_error("no find data");
    FileRecord record =
        MakeFileRecord(winPath, Md5Hex(bytes), FormatAddedSizeField(data.nFileSizeLow),
                       data.dwFileAttributes, data.ftLastWriteTime, data.ftCreationTime);
    lines.push_back(BuildFileRecordLine(record) + "\r\n");
}

void CheckTestDatabase::Store(bool indexLine) {
    std::string plain;
    for (const std::string& line : lines) plain += line;
    const std::string plainPath = path + ".plain";
    prefix.WriteFile(plainPath, plain);
    EncryptFileWithIv(prefix.frame.m_fileKey, path, plainPath, DatabaseIv(path));
    platform::RemoveFile(plainPath);

    FILETIME created;
    created.dwHighDateTime = 30000000;
    created.dwLowDateTime = 0x90000000;
    otherIndexLine =
        BuildDatabaseIndexLine("E:\\db\\other.qdb", 1, created, std::string(32, 'f')) + "\n";
    createdIndexLine = BuildDatabaseIndexLine(path, 2, created, DigestStoredFile(path)) + "\n";
    const std::string backupDir = prefix.BackupDir();
    const std::string indexPlain = backupDir + "index.plain";
    prefix.WriteFile(indexPlain,
                     otherIndexLine + (indexLine ? createdIndexLine : "") + laterIndexLine);
    EncryptFileWithIv(prefix.frame.m_fileKey, DatabaseIndexPath(backupDir), indexPlain,
                      prefix.frame.m_indexIv);
    platform::RemoveFile(indexPlain);

    view.m_databasePath = path;
    view.m_recordCount = int(lines.size());
    prefix.frame.m_openDatabasePath = path;
    prefix.frame.m_databaseOpen = true;
}

std::string CheckTestDatabase::IndexText() const {
    std::string plain;
    if (!DecryptFileToMemory(prefix.frame.m_fileKey, DatabaseIndexPath(prefix.BackupDir()),
                             prefix.frame.m_indexIv, plain))
        throw std::runtime_error("cannot read the index");
    return plain;
}
