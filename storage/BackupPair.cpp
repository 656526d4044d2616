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

// The old backup file, open for reading; a missing one holds no copies (after the pair's
// lost copies are dropped there is nothing to read from it then).
void OpenOld(platform::CFile& old, const std::string& path, int64_t needed) {
    if (needed > 0)
        old.OpenOrThrow(path, "rb");
}

}  // namespace

BackupPair::BackupPair(const Key& key, const std::string& backupDir, std::string n)
    : m_key(key),
      m_n(std::move(n)),
      m_indexPath(BackupIndexPath(backupDir, m_n)),
      m_filePath(BackupFilePath(backupDir, m_n)),
      m_iv(IvFromText(m_indexPath)),
      m_index(key, m_iv, LastBlockRule::ThroughLastNewline) {
    m_index.LoadEmpty();
}

BackupPair::~BackupPair() {
    if (m_writing)
        AbandonCopy();
    m_out.Close();
    WipeMemory(m_carry, sizeof m_carry);
}

void BackupPair::Open() {
    const bool indexExists = platform::FileExists(m_indexPath);
    if (indexExists) {
        int cause = 0;
        if (!m_index.Load(m_indexPath, cause))
            throw CFileException(cause, m_indexPath);
    } else {
        m_index.LoadEmpty();
    }
    Recount();
    // Bytes past the last copy belong to no entry: a copy whose entry was never committed.
    // Without an index there is nothing to measure the file against, so it is left alone.
    const int64_t length = platform::FileLength(m_filePath);
    if (indexExists && length > m_copiesLength)
        platform::TruncateFile(m_filePath, m_copiesLength);
    m_lostCopies = indexExists && length < m_copiesLength;
}

// A backup file shorter than its entries say has lost the copies it no longer holds whole:
// before the pair is written again, their entries go (the entries of the copies it holds
// stay, in their order), so no entry sends a restore to bytes that are not its file's.
void BackupPair::DropLostCopies() {
    if (!m_lostCopies)
        return;
    m_lostCopies = false;
    const int64_t length = std::max<int64_t>(platform::FileLength(m_filePath), 0);
    SecureText kept;
    int64_t sum = 0;
    for (const std::string& line : LinesOf(m_index.Plain())) {
        BackupIndexEntry entry;
        const int64_t copy = ParseBackupIndexLine(line, entry) ? Bytes(entry.copyLength) : 0;
        if (sum + copy > length)
            break;
        sum += copy;
        kept.append(line.data(), line.size());
    }
    m_index.Replace(kept);
    Recount();
    if (platform::FileLength(m_filePath) > m_copiesLength)
        platform::TruncateFile(m_filePath, m_copiesLength);
}

void BackupPair::Recount() {
    m_copiesLength = 0;
    for (const std::string& line : LinesOf(m_index.Plain())) {
        BackupIndexEntry entry;
        if (ParseBackupIndexLine(line, entry))
            m_copiesLength += Bytes(entry.copyLength);
    }
}

BackupLookup BackupPair::Find(const std::string& path) const {
    return FindBackupEntry(LinesOf(m_index.Plain()), path);
}

// ---- copies -----------------------------------------------------------------------------

bool BackupPair::BeginCopy(Transaction& tx, bool encrypted, int& cause) {
    if (!m_out.IsOpen())
        DropLostCopies();
    // Noted for every transaction the copies go into, not only the first: after a commit the
    // next copies are a new transaction's growth.
    tx.WillAppend(m_filePath);
    if (!m_out.IsOpen() && !m_out.Open(m_filePath, "ab", platform::Share::DenyNone, &cause))
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
                            uint32_t plainSize) {
    FlushCopy();
    m_index.Append(BuildBackupIndexLine(path, modeText, double(m_copyLength), plainSize) + "\r\n");
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
    DropLostCopies();
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
                            int64_t oldLength, size_t entryLine) {
    FlushCopy();
    platform::CFile old;
    OpenOld(old, m_filePath, m_copiesLength - oldStart - oldLength);
    CopyRange(old, oldStart + oldLength, m_copiesLength, m_out, m_filePath);
    if (!m_out.Sync() || !m_out.Close())
        throw CFileException(CFileException::diskFull, m_filePath);

    std::string lengthText;
    char text[32];
    if (modeText == "N") {
        std::snprintf(text, sizeof text, "%.2lf", double(m_copyLength));
    } else {
        std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(m_copyLength));
    }
    const std::string entry =
        BuildBackupIndexLine(path, modeText, std::string(text), uint32_t(m_plainBytes)) + "\n";
    // The entry takes its old one's place, or goes at the end when the file had none.
    const std::vector<std::string> lines = LinesOf(m_index.Plain());
    SecureText plain;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = i == entryLine ? entry : lines[i];
        plain.append(line.data(), line.size());
    }
    if (entryLine >= lines.size())
        plain.append(entry.data(), entry.size());
    m_index.Replace(plain);
    m_copiesLength += m_copyLength - oldLength;
    m_writing = false;
    m_renewalPath.clear();
    m_cipher.reset();
    StorageStop("renewal written");
}

void BackupPair::Stage(Transaction& tx) {
    if (m_out.IsOpen() && !m_out.Flush())
        throw CFileException(CFileException::diskFull, m_filePath);
    if (m_index.Changed())
        tx.Stage(m_indexPath, m_index.Stored());
}

// ---- reading ----------------------------------------------------------------------------

bool BackupPair::OpenCopy(const BackupLookup& lookup, platform::CFile& file, int& cause) const {
    if (!file.Open(m_filePath, "rb", platform::Share::DenyNone, &cause))
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
