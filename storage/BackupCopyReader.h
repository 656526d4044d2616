// One backup copy read back from its start as the bytes a restore writes: a plain copy as it
// lies in "Backup File <n>", an encrypted one decrypted where it lies (no copy of it is made
// anywhere) and cut to its length, in pieces of any size, with the MD5 digest of what was
// read. The restore and the analysis hold a copy to its digest through it before they use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/BackupIndex.h"
#include "storage/Md5.h"

namespace platform {
class CFile;
}
class BackupPair;
class CbcCipher;

class BackupCopyReader {
  public:
    // `file` is "Backup File <n>" open for reading (it is moved to the copy's start); `length`
    // is the entry's RestoreLength.
    BackupCopyReader(const BackupPair& pair, platform::CFile& file, const BackupLookup& lookup,
                     uint64_t length);
    ~BackupCopyReader();
    BackupCopyReader(const BackupCopyReader&) = delete;
    BackupCopyReader& operator=(const BackupCopyReader&) = delete;

    // The next bytes, at most `max`; 0 at the copy's end, or when the backup file ends before
    // it (Incomplete() then tells).
    size_t Read(uint8_t* data, size_t max);
    // Reads on to the copy's end, handing each piece to `sink`, which may stop the read by
    // answering false (null: the pieces are only digested). Returns the bytes given back.
    using Sink = std::function<bool(const uint8_t* data, size_t length)>;
    uint64_t ReadAll(const Sink& sink = nullptr);
    bool Incomplete() const { return m_incomplete; }
    // The stored bytes of the copy read so far (what a progress counts).
    uint64_t StoredRead() const { return m_storedRead; }
    // The digest of every byte read, in hexadecimal, once the copy has been read to its end.
    std::string Digest();

  private:
    bool Fill();

    platform::CFile& m_file;
    std::unique_ptr<CbcCipher> m_cipher;  // null for a plain copy
    uint64_t m_copyLength;                // stored bytes of the copy
    uint64_t m_length;                    // bytes it gives back
    uint64_t m_storedRead = 0;
    uint64_t m_given = 0;
    std::vector<uint8_t> m_piece;
    size_t m_at = 0, m_held = 0;
    bool m_incomplete = false;
    Md5Context m_md5{};
};

// Reads the whole copy and tells whether it gives back `length` bytes whose digest is
// `digest`.
bool CopyHasDigest(const BackupPair& pair, platform::CFile& file, const BackupLookup& lookup,
                   uint64_t length, const std::string& digest);

// Why a copy that is not the file that was backed up is not used (its restore or its
// display, `use`: "restored", "shown"): the pair's damage when it is damaged, else "Its
// backup copy in <Backup File n> is damaged and cannot be <use>." for a copy whose digest
// was kept, or the sentence that a copy made before digests were kept cannot be vouched for.
std::string RefusedCopyText(const std::string& databasePath, const BackupPair& pair,
                            const BackupLookup& lookup, const char* use);
