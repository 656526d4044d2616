// A backup copy read back in place, decrypted and digested as it is read.
#include "storage/BackupCopyReader.h"

#include <algorithm>
#include <cstring>

#include "platform/File.h"
#include "storage/BackupPair.h"
#include "storage/SecureText.h"

namespace {
constexpr size_t kPiece = size_t(64) << 10;  // a multiple of 16
}

BackupCopyReader::BackupCopyReader(const BackupPair& pair, platform::CFile& file,
                                   const BackupLookup& lookup, uint64_t length)
    : m_file(file),
      m_cipher(IsEncryptedMode(lookup.entry.mode) ? pair.CopyDecryptor() : nullptr),
      m_copyLength(lookup.entry.copyLength > 0 ? uint64_t(lookup.entry.copyLength) : 0),
      m_length(length),
      m_piece(kPiece) {
    MD5Init(&m_md5);
    if (m_copyLength > 0)
        m_file.Seek(int64_t(lookup.offset), SEEK_SET);
}

BackupCopyReader::~BackupCopyReader() {
    WipeMemory(m_piece.data(), m_piece.size());
}

bool BackupCopyReader::Fill() {
    const uint64_t left = m_copyLength - m_storedRead;
    const size_t want = size_t(std::min<uint64_t>(left, kPiece));
    if (want == 0)
        return false;
    const size_t got = m_file.Read(m_piece.data(), want);
    m_storedRead += got;
    if (got < want)
        m_incomplete = true;
    m_held = m_cipher ? got / 16 * 16 : got;
    if (m_cipher)
        m_cipher->Process(m_piece.data(), m_held);
    m_at = 0;
    return m_held > 0;
}

size_t BackupCopyReader::Read(uint8_t* data, size_t max) {
    if (m_given >= m_length || (m_at >= m_held && (m_incomplete || !Fill())))
        return 0;
    const size_t n = size_t(std::min<uint64_t>({max, m_held - m_at, m_length - m_given}));
    std::memcpy(data, m_piece.data() + m_at, n);
    MD5Update(&m_md5, data, n);
    m_at += n;
    m_given += n;
    return n;
}

uint64_t BackupCopyReader::ReadAll(const Sink& sink) {
    std::vector<uint8_t> piece(kPiece);
    uint64_t total = 0;
    for (size_t n; (n = Read(piece.data(), piece.size())) > 0;) {
        total += n;
        if (sink && !sink(piece.data(), n))
            break;
    }
    WipeMemory(piece.data(), piece.size());
    return total;
}

std::string BackupCopyReader::Digest() {
    return DigestHex(MD5Final(&m_md5));
}

bool CopyHasDigest(const BackupPair& pair, platform::CFile& file, const BackupLookup& lookup,
                   uint64_t length, const std::string& digest) {
    BackupCopyReader reader(pair, file, lookup, length);
    return reader.ReadAll() == length && reader.Digest() == digest;
}

std::string RefusedCopyText(const std::string& databasePath, const BackupPair& pair,
                            const BackupLookup& lookup, const char* use) {
    std::string kept;
    if (pair.Damaged())
        return DamagedPairText(databasePath, pair);
    if (pair.CopyDigest(lookup, kept))
        return "Its backup copy in " + pair.FilePath() + " is damaged and cannot be " + use + ".";
    return "Its backup copy in " + pair.FilePath() +
           " was made before copies had digests, and it does not have the digest of the file's "
           "record: it cannot be vouched for.";
}
