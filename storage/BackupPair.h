// A database's backup pair as an object: "Backup Index <n>" (its entries in memory, under
// the vector derived from the index's own path) and "Backup File <n>" (the copies back to
// back). It finds a file's entry and the offset of its copy by the readers' rule (the first
// entry whose text begins with the whole path followed by 0x7F), appends copies in place at
// the end of the backup file with their entries, renews one file's copy in the place of its
// old one, and reads a copy back. The two files always agree: the backup file's length is the
// sum of the entries' copy lengths. An orphan tail (bytes past that sum, left by an
// interruption) is cut when the pair is opened; appends and renewals are transactions.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/File.h"
#include "storage/BackupIndex.h"
#include "storage/ProtectedImage.h"

class Transaction;

class BackupPair {
  public:
    BackupPair(const Key& key, const std::string& backupDir, std::string n);
    ~BackupPair();
    BackupPair(const BackupPair&) = delete;
    BackupPair& operator=(const BackupPair&) = delete;

    // Reads the index (a missing one has no entries) and cuts an orphan tail off the backup
    // file. Raises the file exception naming the index when it cannot be read.
    void Open();

    const std::string& Number() const { return m_n; }
    const std::string& IndexPath() const { return m_indexPath; }
    const std::string& FilePath() const { return m_filePath; }
    // The vector of the index and of the encrypted copies (made from the index's path).
    const Iv& FileIv() const { return m_iv; }
    // The length the backup file has when it agrees with the index.
    int64_t CopiesLength() const { return m_copiesLength; }
    const SecureText& IndexPlain() const { return m_index.Plain(); }

    BackupLookup Find(const std::string& path) const;

    // ---- one copy appended at the end ----
    // Starts a copy; false with the cause when "Backup File <n>" cannot be opened to append.
    bool BeginCopy(Transaction& tx, bool encrypted, int& cause);
    // The file's bytes, in order, as they are read.
    void WriteCopy(const void* data, size_t length);
    // Ends the copy and adds its entry (CR LF ended, as an append writes it).
    void FinishCopy(const std::string& path, const std::string& modeText, uint32_t plainSize);
    // Takes an unfinished copy back out of the backup file.
    void AbandonCopy() noexcept;

    // ---- the renewal of one file's copy ----
    // A new backup file is staged (the copies before the file's old one, the new copy, then
    // the copies after it) and the new index held for Stage: the entry takes the old one's
    // place (or goes at the end), ended by "\n" alone; the plain-mode copy length is written
    // with "%lu". `fill` calls WriteCopy with the file's bytes and returns false when the
    // file cannot be read: the new files are then dropped and false is returned.
    template <class Fill>
    bool Renew(Transaction& tx, const std::string& path, const std::string& modeText, Fill fill);

    bool Changed() const { return m_index.Changed(); }
    // Stages the new index when it changed.
    void Stage(Transaction& tx);
    void MarkSaved() { m_index.MarkSaved(); }

    // ---- reading a copy back ----
    // Opens "Backup File <n>" for reading at the copy's offset; false with the cause.
    bool OpenCopy(const BackupLookup& lookup, platform::CFile& file, int& cause) const;
    // The plain bytes [offset, offset + length) of an encrypted copy whose stored bytes start at
    // `copyStart` in `file` (any block decrypts from the one before it). Returns the bytes read.
    size_t ReadPlainAt(platform::CFile& file, int64_t copyStart, int64_t offset, void* data,
                       size_t length) const;

  private:
    void Recount();
    void DropLostCopies();
    void BeginRenewal(Transaction& tx, const std::string& path, int64_t& oldStart,
                      int64_t& oldLength, size_t& entryLine);
    void EndRenewal(const std::string& path, const std::string& modeText, int64_t oldStart,
                    int64_t oldLength, size_t entryLine);
    void PutCopyBytes(const uint8_t* data, size_t length);
    void FlushCopy();

    const Key& m_key;  // the store's; never copied
    std::string m_n, m_indexPath, m_filePath;
    Iv m_iv;
    ProtectedImage m_index;
    int64_t m_copiesLength = 0;
    bool m_lostCopies = false;  // the backup file is shorter than the entries say

    // The copy being written: where it goes, its cipher and the bytes not yet a whole block.
    platform::CFile m_out;
    std::string m_renewalPath;
    std::unique_ptr<CbcCipher> m_cipher;
    uint8_t m_carry[16];
    size_t m_carried = 0;
    int64_t m_copyStart = 0;
    int64_t m_copyLength = 0;
    uint64_t m_plainBytes = 0;
    bool m_writing = false;
};

template <class Fill>
bool BackupPair::Renew(Transaction& tx, const std::string& path, const std::string& modeText,
                       Fill fill) {
    int64_t oldStart = 0, oldLength = 0;
    size_t entryLine = 0;
    BeginRenewal(tx, path, oldStart, oldLength, entryLine);
    m_cipher = modeText == "N" ? std::make_unique<CbcCipher>(m_key, m_iv, true) : nullptr;
    if (!fill()) {
        AbandonCopy();
        return false;
    }
    EndRenewal(path, modeText, oldStart, oldLength, entryLine);
    return true;
}
