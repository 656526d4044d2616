// The operations on the "Database Index" file: finding a database's line, refreshing its
// digest and recording the last-checked time (the password's test is storage/PasswordCheck).
// A rewrite decrypts the index into its plaintext copy, writes the new lines into
// "Database Index1", wipes the copy, renames the new file to the copy's name, encrypts it
// over the index (through a new file and a rename) and wipes it. A missing index has no
// line: there is nothing to rewrite, and nothing is created.
#include <functional>

#include "platform/File.h"
#include "platform/FileException.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileDigest.h"
#include "storage/Md5.h"
#include "storage/ProtectedFile.h"
#include "storage/TempFiles.h"

namespace {

using platform::CFile;
using platform::Share;

void RewriteIndexLines(const Key& key, const Iv& indexIv, const std::string& backupDir,
                       const std::string& databasePath,
                       const std::function<std::string(const std::string&)>& rewrite) {
    const std::string indexPath = DatabaseIndexPath(backupDir);
    if (!platform::FileExists(indexPath))
        return;
    const std::string plainPath = DatabaseIndexWorkPath(backupDir);
    const std::string newPath = indexPath + "1";

    DecryptFileWithIv(key, indexPath, plainPath, indexIv);
    TempFiles plainGuard;
    plainGuard.Wipe(plainPath);
    {
        CFile in;
        in.OpenOrThrow(plainPath, "rb", Share::DenyAll);
        CFile out;
        out.OpenOrThrow(newPath, "wb", Share::DenyAll);
        bool ok = true;
        try {
            std::string line;
            while (ok && in.ReadLine(line))
                ok = out.PutS(IndexLineBelongsTo(line, databasePath) ? rewrite(line) : line);
        } catch (...) {
            out.Close();
            TempFiles::WipeIfPresent(newPath);
            throw;
        }
        ok = out.Close() && ok;
        if (!ok) {
            TempFiles::WipeIfPresent(newPath);
            throw CFileException(CFileException::diskFull, indexPath);
        }
    }
    TempFiles newGuard;
    newGuard.Wipe(newPath);
    SecureDeleteFile(plainPath);
    if (!platform::RenameFile(newPath, plainPath))
        throw CFileException(platform::LastFileErrorCause(), newPath);
    EncryptFileWithIv(key, indexPath, plainPath, indexIv);
    SecureDeleteFile(plainPath);
}

}  // namespace

std::vector<std::string> ReadLines(const std::string& plainPath) {
    CFile in;
    in.OpenOrThrow(plainPath, "rb");
    std::vector<std::string> lines;
    std::string line;
    while (in.ReadLine(line)) lines.push_back(line);
    return lines;
}

bool FindDatabaseIndexLine(const Key& key, const Iv& indexIv, const std::string& backupDir,
                           const std::string& databasePath, std::string& line) {
    const std::string indexPath = DatabaseIndexPath(backupDir);
    if (!platform::FileExists(indexPath))
        return false;
    const std::string plainPath = DatabaseIndexWorkPath(backupDir);
    DecryptFileWithIv(key, indexPath, plainPath, indexIv);
    TempFiles guard;
    guard.Wipe(plainPath);
    bool found = false;
    {
        CFile in;
        in.OpenOrThrow(plainPath, "rb", Share::DenyAll);
        std::string candidate;
        while (!found && in.ReadLine(candidate)) {
            if (IndexLineBelongsTo(candidate, databasePath)) {
                line = candidate;
                found = true;
            }
        }
    }
    SecureDeleteFile(plainPath);
    return found;
}

void UpdateDatabaseIndexEntry(const Key& key, const Iv& indexIv, const std::string& backupDir,
                              const std::string& databasePath) {
    const std::string digest = DigestStoredFile(databasePath);
    RewriteIndexLines(key, indexIv, backupDir, databasePath,
                      [&](const std::string& line) { return WithIndexDigest(line, digest); });
}

void RecordLastChecked(const Key& key, const Iv& indexIv, const std::string& backupDir,
                       const std::string& databasePath, const FILETIME& checked) {
    RewriteIndexLines(key, indexIv, backupDir, databasePath,
                      [&](const std::string& line) { return WithLastChecked(line, checked); });
}
