// A database's backup pair as an object: "Backup Index <n>" (its entries in memory, under
// the vector derived from the index's own path), "Backup File <n>" (the copies back to back)
// and "Backup Digests <n>" (each copy's digest, BackupDigests.h). It finds a file's entry and
// the offset of its copy by the readers' rule (the first entry whose text begins with the
// whole path followed by 0x7F), appends copies in place at the end of the backup file with
// their entries and digests, renews one file's copy in the place of its old one, and reads a
// copy back. Appends and renewals are transactions.
//
// The files agree when every entry reads as one the program writes, the backup file's length
// is the sum of the entries' copy lengths, and the digests have one line for each entry. A
// pair that does not agree with itself is damaged: it is never cut, shortened, appended to
// or rewritten (only what the program's own recovery record says it appended is ever taken
// back, and recovery does that before the pair is opened). Damage() names the files and what
// is wrong, for the command to say; a copy is still read back from a damaged pair, and the
// restore holds it to its digest.
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

    // Reads the index and the digests and measures the backup file. Changes nothing. Raises
    // the file exception naming a file that cannot be opened.
    void Open();

    const std::string& Number() const { return m_n; }
    const std::string& IndexPath() const { return m_indexPath; }
    const std::string& FilePath() const { return m_filePath; }
    const std::string& DigestsPath() const { return m_digestsPath; }
    // The vector of the index and of the encrypted copies (made from the index's path).
    const Iv& FileIv() const { return m_iv; }
    // The length the backup file has when it agrees with the index.
    int64_t CopiesLength() const { return m_copiesLength; }
    const SecureText& IndexPlain() const { return m_index.Plain(); }

    // Whether the pair does not agree with itself, and what is wrong, naming the files (such
    // as "C:\...\Backup File 1 holds 512 bytes, while C:\...\Backup Index 1 lists 1024 bytes
    // of copies").
    bool Damaged() const { return !m_damage.empty(); }
    const std::string& Damage() const { return m_damage; }

    BackupLookup Find(const std::string& path) const;
    // The digest kept for the copy of a found entry; false for a copy made before digests
    // were kept (or when the digests cannot be read).
    bool CopyDigest(const BackupLookup& lookup, std::string& digest) const;

    // ---- one copy appended at the end (an undamaged pair only) ----
    // Starts a copy; false with the cause when "Backup File <n>" cannot be opened to append
    // (invalidFile for a damaged pair).
    bool BeginCopy(Transaction& tx, bool encrypted, int& cause);
    // The file's bytes, in order, as they are read.
    void WriteCopy(const void* data, size_t length);
    // Ends the copy and adds its entry (CR LF ended, as an append writes it) and its digest
    // (of the whole file, the bytes the copy holds).
    void FinishCopy(const std::string& path, const std::string& modeText, uint32_t plainSize,
                    const std::string& digest);
    // Takes an unfinished copy back out of the backup file.
    void AbandonCopy() noexcept;

    // ---- the renewal of one file's copy (an undamaged pair only) ----
    // A new backup file is staged (the copies before the file's old one, the new copy, then
    // the copies after it) and the new index held for Stage: the entry takes the old one's
    // place (or goes at the end), ended by "\n" alone; the plain-mode copy length is written
    // with "%lu". `fill(digest)` calls WriteCopy with the file's bytes, sets their digest and
    // returns false when the file cannot be read: the new files are then dropped and false
    // is returned.
    template <class Fill>
    bool Renew(Transaction& tx, const std::string& path, const std::string& modeText, Fill fill);

    bool Changed() const { return m_index.Changed(); }
    // Stages the new index and digests when they changed.
    void Stage(Transaction& tx);
    void MarkSaved();

    // ---- reading a copy back (BackupCopyReader.h reads one whole) ----
    // A decryptor of the pair's encrypted copies, at the start of a copy.
    std::unique_ptr<CbcCipher> CopyDecryptor() const {
        return std::make_unique<CbcCipher>(m_key, m_iv, false);
    }
    // Opens "Backup File <n>" for reading at the copy's offset; false with the cause.
    bool OpenCopy(const BackupLookup& lookup, platform::CFile& file, int& cause) const;
    // The plain bytes [offset, offset + length) of an encrypted copy whose stored bytes start at
    // `copyStart` in `file` (any block decrypts from the one before it). Returns the bytes read.
    size_t ReadPlainAt(platform::CFile& file, int64_t copyStart, int64_t offset, void* data,
                       size_t length) const;

  private:
    void Measure(bool indexExists, bool digestsExist);
    void ReadyDigests();
    void BeginRenewal(Transaction& tx, const std::string& path, int64_t& oldStart,
                      int64_t& oldLength, size_t& entryLine);
    void EndRenewal(const std::string& path, const std::string& modeText, int64_t oldStart,
                    int64_t oldLength, size_t entryLine, const std::string& digest);
    void PutCopyBytes(const uint8_t* data, size_t length);
    void FlushCopy();

    const Key& m_key;  // the store's; never copied
    std::string m_n, m_indexPath, m_filePath, m_digestsPath;
    Iv m_iv;
    ProtectedImage m_index;
    ProtectedImage m_digests;
    bool m_digestsReady = false;  // m_digests has one line for each entry
    int64_t m_copiesLength = 0;
    std::string m_damage;

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

// What a command says of a damaged pair: "The backup files of <database> are damaged: " and
// the pair's Damage(), then ".".
std::string DamagedPairText(const std::string& databasePath, const BackupPair& pair);

template <class Fill>
bool BackupPair::Renew(Transaction& tx, const std::string& path, const std::string& modeText,
                       Fill fill) {
    if (Damaged())
        return false;
    int64_t oldStart = 0, oldLength = 0;
    size_t entryLine = 0;
    BeginRenewal(tx, path, oldStart, oldLength, entryLine);
    m_cipher = IsEncryptedMode(modeText) ? std::make_unique<CbcCipher>(m_key, m_iv, true) : nullptr;
    std::string digest;
    if (!fill(digest)) {
        AbandonCopy();
        return false;
    }
    EndRenewal(path, modeText, oldStart, oldLength, entryLine, digest);
    return true;
}
