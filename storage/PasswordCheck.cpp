// The password's rules and the "Password Check" file (see PasswordCheck.h): the check value,
// its atomic write, and the test of a key against the check value, the "Database Index" and
// the backup indexes.
#include "storage/PasswordCheck.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <cctype>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FindData.h"
#include "storage/BackupIndex.h"
#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"
#include "storage/ProtectedFile.h"
#include "storage/StoredFileNames.h"

namespace {

using platform::CFile;

const char kCheckText[] = "Quillstead Password Check";

bool AllDigits(const std::string& text, size_t from, size_t to) {
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

// A stored file's length: 0 when it is missing or empty, -1 when it cannot be opened.
int64_t StoredLength(const std::string& path) {
    if (!platform::FileExists(path))
        return 0;
    CFile in;
    return in.Open(path, "rbn") ? in.Length() : -1;
}

// Whether the key decrypts one of the non-empty "Backup Index <n>" into well-formed lines;
// `anyStored` tells whether there is a non-empty one at all.
bool KeyOpensABackupIndex(const Key& key, const std::string& backupDir, bool& anyStored) {
    anyStored = false;
    const std::string prefix = "Backup Index ";
    platform::FindFile find;
    platform::WIN32_FIND_DATA data;
    std::vector<std::string> numbers;
    for (bool more = find.First(backupDir + prefix + "*", data); more; more = find.Next(data)) {
        const std::string& name = data.cFileName;
        if ((data.dwFileAttributes & 0x10) == 0 && data.Size() > 0 &&
            name.compare(0, prefix.size(), prefix) == 0 &&
            AllDigits(name, prefix.size(), name.size())) {
            numbers.push_back(name.substr(prefix.size()));
        }
    }
    anyStored = !numbers.empty();
    for (const std::string& n : numbers) {
        const std::string path = BackupIndexPath(backupDir, n);
        std::string plain;
        if (DecryptFileToMemory(key, path, IvFromText(path), plain) &&
            BackupIndexTextIsWellFormed(plain)) {
            return true;
        }
    }
    return false;
}

enum class CheckFile { Missing, Read, Damaged };

// The check value stored in the folder: missing, read, or there but not a check value (not
// 32 bytes long, or not readable).
CheckFile ReadPasswordCheck(const std::string& backupDir, PasswordCheckValue& value) {
    const std::string path = PasswordCheckPath(backupDir);
    if (!platform::FileExists(path))
        return CheckFile::Missing;
    CFile in;
    if (!in.Open(path, "rbn") || in.Length() != int64_t(value.size()) ||
        in.Read(value.data(), value.size()) != value.size())
        return CheckFile::Damaged;
    return CheckFile::Read;
}

// Without a check value that accepts the key: whether the index (or, when it is missing or
// empty, a backup index) shows the key to be the password, and what else can be said.
PasswordAnswer TestWithoutCheck(const Key& key, const Iv& indexIv, const std::string& backupDir,
                                CheckFile check) {
    const bool checkThere = check != CheckFile::Missing;
    const std::string indexPath = DatabaseIndexPath(backupDir);
    const int64_t length = StoredLength(indexPath);
    bool anyBackup = false;
    if (length != 0) {
        // A length that is not a whole number of blocks is damage, whatever the key (but a
        // check value that refuses the key is not shown to be damaged by it).
        if (length > 0 && length % 16 != 0)
            return check == CheckFile::Read ? PasswordAnswer::Refused
                                            : PasswordAnswer::IndexDamaged;
        std::string plain;
        if (DecryptFileToMemory(key, indexPath, indexIv, plain) && IndexTextIsWellFormed(plain))
            return checkThere ? PasswordAnswer::OpensCheckDamaged : PasswordAnswer::Opens;
        // Lines that are not well-formed: damage under the password, else the wrong key.
        if (KeyOpensABackupIndex(key, backupDir, anyBackup))
            return PasswordAnswer::IndexDamaged;
        return PasswordAnswer::Refused;
    }
    if (KeyOpensABackupIndex(key, backupDir, anyBackup))
        return checkThere ? PasswordAnswer::OpensCheckDamaged : PasswordAnswer::Opens;
    // Nothing is protected yet, unless a check value says a password was set (one that is
    // not a check value says nothing, and the first password's replaces it).
    return anyBackup || check == CheckFile::Read ? PasswordAnswer::Refused : PasswordAnswer::First;
}

}  // namespace

std::string PasswordCheckPath(const std::string& backupDir) {
    return backupDir + "Password Check";
}

PasswordCheckValue PasswordCheckOf(const Key& key) {
    PasswordCheckValue value{};
    unsigned length = 0;
    if (!HMAC(EVP_sha256(), key.data(), int(key.size()),
              reinterpret_cast<const unsigned char*>(kCheckText), sizeof kCheckText - 1,
              value.data(), &length) ||
        length != value.size()) {
        throw std::runtime_error("The password's check value could not be made.");
    }
    return value;
}

bool BackupIndexTextIsWellFormed(const std::string& plain) {
    if (plain.empty() || plain.back() != '\n')
        return false;
    for (size_t start = 0; start < plain.size();) {
        const size_t end = plain.find('\n', start) + 1;
        const std::string line = plain.substr(start, end - start);
        BackupIndexEntry entry;
        // An entry the program writes, with a mode of its own (the separators are three).
        if (!BackupEntryIsWhole(line, entry) ||
            line[line.find(kFieldSeparator) + 1] == kFieldSeparator)
            return false;
        start = end;
    }
    return true;
}

PasswordAnswer TestPassword(const Key& key, const Iv& indexIv, const std::string& backupDir) {
    PasswordCheckValue stored;
    const CheckFile check = ReadPasswordCheck(backupDir, stored);
    if (check == CheckFile::Read && stored == PasswordCheckOf(key)) {
        // The check value decides: an index the key does not read is damaged.
        const std::string indexPath = DatabaseIndexPath(backupDir);
        if (StoredLength(indexPath) == 0)
            return PasswordAnswer::Opens;
        std::string plain;
        return DecryptFileToMemory(key, indexPath, indexIv, plain) && IndexTextIsWellFormed(plain)
                   ? PasswordAnswer::Opens
                   : PasswordAnswer::IndexDamaged;
    }
    // A check value that refuses the key may be damaged itself: what else is protected tells.
    return TestWithoutCheck(key, indexIv, backupDir, check);
}

std::string PasswordCheckDamagedText(const std::string& checkPath) {
    return "The Password Check " + checkPath +
           " is damaged: the password was tested against the Database Index instead, and the "
           "Password Check is written anew.";
}

std::string IndexDamagedText(const std::string& indexPath) {
    return "The Database Index " + indexPath + " is damaged and cannot be read.";
}

bool HasPasswordCheck(const std::string& backupDir) {
    PasswordCheckValue value;
    return ReadPasswordCheck(backupDir, value) == CheckFile::Read;
}

void WritePasswordCheck(const Key& key, const std::string& backupDir) {
    const std::string path = PasswordCheckPath(backupDir);
    const std::string newPath = StagedPath(path);
    const PasswordCheckValue value = PasswordCheckOf(key);
    platform::RemoveFile(newPath);  // a leftover keeps no mode of its own for the new one
    CFile out;
    int cause = CFileException::none;
    if (!out.Open(newPath, "wbx", platform::Share::DenyAll, &cause))
        throw CFileException(cause, path);
    bool written = out.Write(value.data(), value.size()) && out.Sync();
    int err = written ? 0 : errno;
    if (!out.Close() && written) {
        written = false;
        err = errno;
    }
    if (!written) {
        platform::RemoveFile(newPath);
        CFileException::ThrowWriteError(err, path);
    }
    if (!platform::ReplaceFile(newPath, path)) {
        const int renameCause = platform::LastFileErrorCause();
        platform::RemoveFile(newPath);
        throw CFileException(renameCause, path);
    }
}

void KeepPasswordCheck(const Key& key, const std::string& backupDir) {
    PasswordCheckValue stored;
    if (ReadPasswordCheck(backupDir, stored) != CheckFile::Read || stored != PasswordCheckOf(key))
        WritePasswordCheck(key, backupDir);
}
