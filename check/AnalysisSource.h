// Where a list of the file analysis takes its bytes, when a row is drawn and when a block of
// rows is marked: the analysed file, a plain backup copy (its range of "Backup File <n>"), or
// an encrypted copy, decrypted in place through its backup pair (any block decrypts from the
// one before it), so no plaintext copy of it is ever made on disk. A source owns its open
// file, and an encrypted copy's source the pair whose key and vector decrypt it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "check/ListedFileRead.h"
#include "platform/File.h"

class BackupPair;

class AnalysisSource {
  public:
    virtual ~AnalysisSource() = default;
    // Up to `length` bytes from `offset` of the source; fewer at its end.
    virtual size_t ReadAt(uint64_t offset, uint8_t* data, size_t length) = 0;
    // False once the source is known to hold other bytes than when it was read.
    virtual bool Unchanged() const { return true; }
};

// Bytes [start, start + limit) of an open file: the analysed file from 0 without a limit, or
// a plain copy within "Backup File <n>".
class FileRangeSource : public AnalysisSource {
  public:
    FileRangeSource(std::unique_ptr<platform::CFile> file, uint64_t start,
                    uint64_t limit = UINT64_MAX);
    size_t ReadAt(uint64_t offset, uint8_t* data, size_t length) override;
    // The file's length now.
    uint64_t FileLength() const;

    // Keeps the file's stamp as it stands (once its rows are compared).
    void KeepStamp();
    // False once the file its path names no longer has the stamp kept (its size or its times
    // changed, or another file took its name); true while none is kept.
    bool Unchanged() const override;

  private:
    std::unique_ptr<platform::CFile> m_file;
    uint64_t m_start, m_limit;
    bool m_stamped = false;
    FileStamp m_stamp;
};

// The first `plainLength` plain bytes of an encrypted copy whose stored bytes start at
// `copyStart` in "Backup File <n>".
class EncryptedCopySource : public AnalysisSource {
  public:
    EncryptedCopySource(std::shared_ptr<const BackupPair> pair,
                        std::unique_ptr<platform::CFile> file, int64_t copyStart,
                        uint64_t plainLength);
    size_t ReadAt(uint64_t offset, uint8_t* data, size_t length) override;

  private:
    std::shared_ptr<const BackupPair> m_pair;
    std::unique_ptr<platform::CFile> m_file;
    int64_t m_copyStart;
    uint64_t m_plainLength;
};
