// The check tests' shared helpers (see CheckTestHelpers.h).
#include "tests/check/CheckTestHelpers.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <stdexcept>

#include "platform/File.h"
#include "platform/FindData.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/Md5.h"
#include "storage/ProtectedFile.h"
#include "tests/support/AddEvents.h"

std::string Md5Hex(const std::string& bytes) {
    Md5Context ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, bytes.data(), bytes.size());
    return DigestHex(MD5Final(&ctx));
}

std::string AddedRecordLine(const TempPrefix& prefix, const std::string& winPath) {
    platform::WIN32_FIND_DATA data;
    if (!platform::GetFindData(winPath, data))
        throw std::runtime_error("no find data for " + winPath);
    const FileRecord record = MakeFileRecord(
        winPath, Md5Hex(prefix.ReadFile(winPath)), FormatAddedSizeField(data.nFileSizeLow),
        data.dwFileAttributes, data.ftLastWriteTime, data.ftCreationTime);
    return BuildFileRecordLine(record) + "\r\n";
}

void SetModifiedTime(const TempPrefix& prefix, const std::string& winPath, long long unixSeconds) {
    struct timespec times[2];
    times[0].tv_sec = time_t(unixSeconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    if (utimensat(AT_FDCWD, prefix.Host(winPath).c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + winPath);
}

void StoreProtected(const TempPrefix& prefix, const std::string& winPath, const std::string& plain,
                    const Iv& iv) {
    const std::string plainPath = winPath + ".plain";
    prefix.WriteFile(plainPath, plain);
    EncryptFileWithIv(prefix.frame.Store().FileKey(), winPath, plainPath, iv);
    platform::RemoveFile(plainPath);
}

void StoreDatabaseIndex(const TempPrefix& prefix, const std::string& lines) {
    StoreProtected(prefix, DatabaseIndexPath(prefix.BackupDir()), lines,
                   prefix.frame.Store().IndexIv());
}

std::string DatabaseIndexText(const TempPrefix& prefix) {
    std::string plain;
    if (!DecryptFileToMemory(prefix.frame.Store().FileKey(), DatabaseIndexPath(prefix.BackupDir()),
                             prefix.frame.Store().IndexIv(), plain))
        throw std::runtime_error("cannot read the index");
    return plain;
}

std::string CreatedIndexLine(const std::string& database, int number, const std::string& digest) {
    FILETIME created;
    created.dwHighDateTime = 30000000;
    created.dwLowDateTime = 0x90000000;
    return BuildDatabaseIndexLine(database, number, created,
                                  digest.empty() ? DigestStoredFile(database) : digest);
}

void AnswerDetails(TempPrefix& prefix, int choice, int mode) {
    prefix.ui.AddScriptLine(R"({"dialog":"CChangedFileDetailsDlg","set":{"m_choice":)" +
                            std::to_string(choice) + "}}");
    if (mode >= 0)
        prefix.ui.AddScriptLine(R"({"dialog":"CRestoreDlg","set":{"m_restoreMode":)" +
                                std::to_string(mode) + "}}");
}

std::string MessageBoxEvent(const std::string& text, const char* icon) {
    return BoxEvent(text, icon);
}
