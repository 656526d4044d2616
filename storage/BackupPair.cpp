// A database's backup pair held by a command.
#include "storage/BackupPair.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/Durable.h"
#include "platform/FileException.h"
#include "platform/KernelCopy.h"
#include "storage/BackupDigests.h"
#include "storage/FileRecord.h"
#include "storage/StopPoints.h"
#include "storage/Transaction.h"
#include "storage/WorkCopyStream.h"

namespace {

// A copy length read back as a count of bytes.
int64_t Bytes(double length) {
    return length > 0 ? int64_t(length) : 0;
}

// Copies bytes [from, to) of the old backup file into the new one, through the kernel (the
// blocks are shared where the file system can); the old one holds them all (the pair was
// measured when it was opened).
void CopyRange(platform::CFile& in, int64_t from, int64_t to, platform::CFile& out,
               const std::string& about) {
    if (to <= from)
        return;
    if (!out.Flush())
        throw CFileException(CFileException::diskFull, about);
    const int64_t at = out.Tell();
    if (!platform::CopyFileRange(in.Fd(), from, out.Fd(), at, to - from)) {
        throw CFileException(
            errno == EIO ? int(CFileException::endOfFile) : int(CFileException::diskFull), about);
    }
    out.Seek(at + (to - from), SEEK_SET);
}

// The old backup file, open for reading; a missing one holds no copies (an undamaged pair
// then needs none of its bytes).
void OpenOld(platform::CFile& old, const std::string& path, int64_t needed) {
    if (needed > 0)
        old.OpenOrThrow(path, "rbn");
}

// The path field of an index line: the text before its first 0x7F.
std::string PathOf(const std::string& line) {
    return line.substr(0, line.find(kFieldSeparator));
}

}  // namespace

BackupPair::BackupPair(const Key& key, const std::string& backupDir, std::string n)
    : m_key(key),
      m_n(std::move(n)),
      m_indexPath(BackupIndexPath(backupDir, m_n)),
      m_filePath(BackupFilePath(backupDir, m_n)),
      m_digestsPath(BackupDigestsPath(backupDir, m_n)),
      m_iv(IvFromText(m_indexPath)),
      m_index(key, m_iv, LastBlockRule::ThroughLastNewline),
      m_digests(key, IvFromText(m_digestsPath), LastBlockRule::ThroughLastNewline) {
    m_index.LoadEmpty();
    m_digests.LoadEmpty();
}

BackupPair::~BackupPair() {
    if (m_writing)
        AbandonCopy();
    m_out.Close();
    WipeMemory(m_carry, sizeof m_carry);
}

namespace {

// Reads a protected file of the pair. A file that cannot be opened raises the file exception
// (another program may hold it); one that is not a whole number of blocks is damage.
bool LoadPart(ProtectedImage& image, const std::string& path, std::string& damage) {
    image.LoadEmpty();
    if (!platform::FileExists(path))
        return false;
    int cause = 0;
    if (image.Load(path, cause))
        return true;
    if (cause != CFileException::invalidFile && cause != CFileException::endOfFile)
        throw CFileException(cause, path);
    if (damage.empty())
        damage = path + " is not a whole number of blocks";
    return true;
}

}  // namespace

void BackupPair::Open() {
    m_damage.clear();
    const bool indexExists = LoadPart(m_index, m_indexPath, m_damage);
    const bool digestsExist = LoadPart(m_digests, m_digestsPath, m_damage);
    m_digestsReady = digestsExist && m_damage.empty();
    if (m_damage.empty())
        Measure(indexExists, digestsExist);
}

// Holds the three files to one another; the first thing that does not agree is the damage.
void BackupPair::Measure(bool indexExists, bool digestsExist) {
    const std::vector<std::string> lines = LinesOf(m_index.Plain());
    m_copiesLength = 0;
    for (size_t k = 0; k < lines.size(); ++k) {
        BackupIndexEntry entry;
        if (!BackupEntryIsWhole(lines[k], entry)) {
            m_damage =
                "line " + std::to_string(k + 1) + " of " + m_indexPath + " is not a backup entry";
            return;
        }
        m_copiesLength += Bytes(entry.copyLength);
    }
    const int64_t length = platform::FileLength(m_filePath);
    const std::string copies = std::to_string(m_copiesLength) + " bytes of copies";
    if (!indexExists && length > 0) {
        m_damage = m_indexPath + " is missing, while " + m_filePath + " holds " +
                   std::to_string(length) + " bytes";
    } else if (length < 0 && platform::FileExists(m_filePath)) {
        m_damage = m_filePath + " is not a plain file";
    } else if (length < 0 && m_copiesLength > 0) {
        m_damage = m_filePath + " is missing, while " + m_indexPath + " lists " + copies;
    } else if (length >= 0 && length != m_copiesLength) {
        m_damage = m_filePath + " holds " + std::to_string(length) + " bytes, while " +
                   m_indexPath + " lists " + copies;
    }
    if (!m_damage.empty() || !digestsExist)
        return;
    const std::vector<std::string> digests = LinesOf(m_digests.Plain());
    bool agree = digests.size() == lines.size();
    for (size_t k = 0; agree && k < lines.size(); ++k) {
        std::string path, digest;
        agree = ParseBackupDigestLine(digests[k], path, digest) && path == PathOf(lines[k]);
    }
    if (!agree)
        m_damage = m_digestsPath + " does not agree with " + m_indexPath;
}

// Before the pair changes: digests made before they were kept have a line without a digest.
void BackupPair::ReadyDigests() {
    if (m_digestsReady)
        return;
    SecureText plain;
    for (const std::string& line : LinesOf(m_index.Plain())) {
        const std::string digestLine = BuildBackupDigestLine(PathOf(line), "");
        plain.append(digestLine.data(), digestLine.size());
    }
    m_digests.Replace(plain);
    m_digestsReady = true;
}

BackupLookup BackupPair::Find(const std::string& path) const {
    return FindBackupEntry(LinesOf(m_index.Plain()), path);
}

bool BackupPair::CopyDigest(const BackupLookup& lookup, std::string& digest) const {
    if (!lookup.found || !m_digestsReady)
        return false;
    const std::vector<std::string> lines = LinesOf(m_digests.Plain());
    std::string path;
    return lookup.line < lines.size() && ParseBackupDigestLine(lines[lookup.line], path, digest) &&
           !digest.empty();
}

// ---- copies -----------------------------------------------------------------------------

bool BackupPair::BeginCopy(Transaction& tx, bool encrypted, int& cause) {
    if (Damaged()) {
        cause = CFileException::invalidFile;
        return false;
    }
    ReadyDigests();
    // Noted for every transaction the copies go into, not only the first: after a commit the
    // next copies are a new transaction's growth.
    tx.WillAppend(m_filePath);
    if (!m_out.IsOpen() && !m_out.Open(m_filePath, "abn", platform::Share::DenyNone, &cause))
        return false;
    m_renewalPath.clear();
    m_cipher = encrypted ? std::make_unique<CbcCipher>(m_key, m_iv, true) : nullptr;
    m_copyStart = m_copiesLength;
    m_copyLength = 0;
    m_plainBytes = 0;
    m_carried = 0;
    m_writing = true;
    return true;
}

void BackupPair::PutCopyBytes(const uint8_t* data, size_t length) {
    if (!m_out.Write(data, length)) {
        AbandonCopy();
        throw CFileException(CFileException::diskFull,
                             m_renewalPath.empty() ? m_filePath : m_renewalPath);
    }
    m_copyLength += int64_t(length);
}

void BackupPair::WriteCopy(const void* data, size_t length) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    m_plainBytes += length;
    if (!m_cipher) {
        PutCopyBytes(p, length);
        return;
    }
    uint8_t work[4096];
    while (length > 0) {
        // Whole blocks: what was carried over first, then as much of `data` as fits.
        size_t n = 0;
        if (m_carried > 0) {
            const size_t take = std::min(length, 16 - m_carried);
            std::memcpy(m_carry + m_carried, p, take);
            m_carried += take;
            p += take;
            length -= take;
            if (m_carried < 16)
                break;
            std::memcpy(work, m_carry, 16);
            m_carried = 0;
            n = 16;
        }
        const size_t blocks = std::min((sizeof work - n) / 16, length / 16);
        std::memcpy(work + n, p, blocks * 16);
        p += blocks * 16;
        length -= blocks * 16;
        n += blocks * 16;
        if (n == 0) {
            std::memcpy(m_carry, p, length);
            m_carried = length;
            break;
        }
        m_cipher->Process(work, n);
        PutCopyBytes(work, n);
    }
    WipeMemory(work, sizeof work);
}

void BackupPair::FlushCopy() {
    if (m_cipher && m_carried > 0) {
        std::memset(m_carry + m_carried, 0, 16 - m_carried);
        m_cipher->Process(m_carry, 16);
        m_carried = 0;
        PutCopyBytes(m_carry, 16);
    }
    if (!m_out.Flush()) {
        AbandonCopy();
        throw CFileException(CFileException::diskFull,
                             m_renewalPath.empty() ? m_filePath : m_renewalPath);
    }
}

void BackupPair::FinishCopy(const std::string& path, const std::string& modeText,
                            uint32_t plainSize, const std::string& digest) {
    FlushCopy();
    m_index.Append(BuildBackupIndexLine(path, modeText, double(m_copyLength), plainSize) + "\r\n");
    m_digests.Append(BuildBackupDigestLine(path, digest));
    m_copiesLength += m_copyLength;
    m_writing = false;
    m_cipher.reset();
    StorageStop("copy appended");
}

void BackupPair::AbandonCopy() noexcept {
    if (!m_writing)
        return;
    m_writing = false;
    m_cipher.reset();
    m_carried = 0;
    if (!m_renewalPath.empty()) {
        m_out.Close();
        platform::RemoveFile(m_renewalPath);
        m_renewalPath.clear();
        return;
    }
    m_out.Flush();
    platform::TruncateFile(m_filePath, m_copyStart);
}

// ---- renewal ----------------------------------------------------------------------------

void BackupPair::BeginRenewal(Transaction& tx, const std::string& path, int64_t& oldStart,
                              int64_t& oldLength, size_t& entryLine) {
    ReadyDigests();
    const BackupLookup lookup = Find(path);
    oldStart = lookup.found ? Bytes(lookup.offset) : m_copiesLength;
    oldLength = lookup.found ? Bytes(lookup.entry.copyLength) : 0;
    entryLine = lookup.found ? lookup.line : LinesOf(m_index.Plain()).size();

    m_out.Close();
    m_renewalPath = tx.StagePath(m_filePath);
    m_out.OpenOrThrow(m_renewalPath, "wbx", platform::Share::DenyAll);
    platform::CFile old;
    OpenOld(old, m_filePath, oldStart);
    CopyRange(old, 0, oldStart, m_out, m_filePath);
    m_copyStart = oldStart;
    m_copyLength = 0;
    m_plainBytes = 0;
    m_carried = 0;
    m_writing = true;
}

void BackupPair::EndRenewal(const std::string& path, const std::string& modeText, int64_t oldStart,
                            int64_t oldLength, size_t entryLine, const std::string& digest) {
    FlushCopy();
    platform::CFile old;
    OpenOld(old, m_filePath, m_copiesLength - oldStart - oldLength);
    CopyRange(old, oldStart + oldLength, m_copiesLength, m_out, m_filePath);
    if (!m_out.Sync() || !m_out.Close())
        throw CFileException(CFileException::diskFull, m_filePath);

    std::string lengthText;
    char text[32];
    if (IsEncryptedMode(modeText)) {
        std::snprintf(text, sizeof text, "%.2lf", double(m_copyLength));
    } else {
        std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(m_copyLength));
    }
    const std::string entry =
        BuildBackupIndexLine(path, modeText, std::string(text), uint32_t(m_plainBytes)) + "\n";
    // The entry and its digest take the old ones' places, or go at the end when the file had
    // none.
    const std::string digestLine = BuildBackupDigestLine(path, digest);
    const std::vector<std::string> lines = LinesOf(m_index.Plain());
    const std::vector<std::string> digests = LinesOf(m_digests.Plain());
    SecureText plain, digestsPlain;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = i == entryLine ? entry : lines[i];
        plain.append(line.data(), line.size());
        const std::string& d = i == entryLine ? digestLine : digests[i];
        digestsPlain.append(d.data(), d.size());
    }
    if (entryLine >= lines.size()) {
        plain.append(entry.data(), entry.size());
        digestsPlain.append(digestLine.data(), digestLine.size());
    }
    m_index.Replace(plain);
    m_digests.Replace(digestsPlain);
    m_copiesLength += m_copyLength - oldLength;
    m_writing = false;
    m_renewalPath.clear();
    m_cipher.reset();
    StorageStop("renewal written");
}

void BackupPair::Stage(Transaction& tx) {
    if (m_out.IsOpen() && !m_out.Flush())
        throw CFileException(CFileException::diskFull, m_filePath);
    if (m_index.Changed()) {
        tx.Stage(m_indexPath, m_index.Stored());
        tx.Stage(m_digestsPath, m_digests.Stored());
    }
}

void BackupPair::MarkSaved() {
    m_index.MarkSaved();
    m_digests.MarkSaved();
}

// ---- reading ----------------------------------------------------------------------------

bool BackupPair::OpenCopy(const BackupLookup& lookup, platform::CFile& file, int& cause) const {
    if (!file.Open(m_filePath, "rbn", platform::Share::DenyNone, &cause))
        return false;
    file.Seek(Bytes(lookup.offset), SEEK_SET);
    return true;
}

size_t BackupPair::ReadPlainAt(platform::CFile& file, int64_t copyStart, int64_t offset, void* data,
                               size_t length) const {
    if (length == 0)
        return 0;  // an empty file's copy: no block to read
    const int64_t firstBlock = offset / 16;
    const int64_t lastBlock = (offset + int64_t(length) + 15) / 16;
    Iv chain = m_iv;
    if (firstBlock > 0) {
        file.Seek(copyStart + (firstBlock - 1) * 16, SEEK_SET);
        if (file.Read(chain.data(), 16) != 16)
            return 0;
    } else {
        file.Seek(copyStart, SEEK_SET);
    }
    std::vector<uint8_t> blocks(size_t(lastBlock - firstBlock) * 16);
    const size_t got = file.Read(blocks.data(), blocks.size()) / 16 * 16;
    CbcCipher cipher(m_key, chain, false);
    cipher.Process(blocks.data(), got);
    const size_t skip = size_t(offset - firstBlock * 16);
    const size_t n = got > skip ? std::min(length, got - skip) : 0;
    std::memcpy(data, blocks.data() + skip, n);
    WipeMemory(blocks.data(), blocks.size());
    return n;
}

std::string DamagedPairText(const std::string& databasePath, const BackupPair& pair) {
    return "The backup files of " + databasePath + " are damaged: " + pair.Damage() + ".";
}
