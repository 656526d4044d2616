// The encryptions and decryptions between protected files and their plaintext copies. Files
// are processed in large pieces. A protected file is always written to a new file beside it
// (its name followed by ".new~") that then replaces it in one step; a failed write removes
// the new file and raises the file exception, so the old protected file stays as it was. A
// protected file whose length is not a multiple of 16 is damaged: it is refused with the
// cause invalidFile before anything is written.
#include "storage/ProtectedFile.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"

namespace {

using platform::CFile;
using platform::Share;

constexpr size_t kPiece = size_t(64) << 10;  // a multiple of 16

// How much of the last block a decryption writes.
enum class LastBlock { ThroughNewline, BeforeNewline, ToLength, ThroughLastNewline };

size_t LastBlockLength(const uint8_t* block, LastBlock rule, double written, double plainLength) {
    if (rule == LastBlock::ToLength) {
        size_t n = 0;
        while (n < 16 && written + double(n) < plainLength) ++n;
        return n;
    }
    if (rule == LastBlock::ThroughLastNewline) {
        size_t n = 16;
        while (n > 0 && block[n - 1] != '\n') --n;
        return n == 0 ? 16 : n;
    }
    const void* lf = std::memchr(block, '\n', 16);
    if (lf == nullptr)
        return 16;
    size_t at = size_t(static_cast<const uint8_t*>(lf) - block);
    return rule == LastBlock::ThroughNewline ? at + 1 : at;
}

// Opens a protected file for reading and checks that it holds whole blocks.
void OpenProtected(CFile& in, const std::string& protectedPath) {
    in.OpenOrThrow(protectedPath, "rbn");
    if (in.Length() % 16 != 0)
        throw CFileException(CFileException::invalidFile, protectedPath);
}

// Decrypts the whole of `in` (an open protected file) into `sink`, a callable taking
// (bytes, count) and answering whether it took them. False when the sink failed.
template <class Sink>
bool DecryptStream(const Key& key, const Iv& iv, CFile& in, LastBlock rule, double plainLength,
                   Sink&& sink) {
    const int64_t length = in.Length();
    std::vector<uint8_t> piece(kPiece);
    CbcCipher cipher(key, iv, false);
    int64_t remaining = length;
    double written = 0;
    while (remaining > 0) {
        size_t n = size_t(std::min<int64_t>(remaining, int64_t(kPiece)));
        if (in.Read(piece.data(), n) != n)
            throw CFileException(CFileException::endOfFile, in.GetFilePath());
        cipher.Process(piece.data(), n);
        remaining -= int64_t(n);
        size_t whole = remaining > 0 ? n : n - 16;
        if (whole != 0 && !sink(piece.data(), whole))
            return false;
        written += double(whole);
        if (remaining == 0) {
            size_t last = LastBlockLength(piece.data() + whole, rule, written, plainLength);
            if (last != 0 && !sink(piece.data() + whole, last))
                return false;
        }
    }
    return true;
}

// Decrypts the protected file into `plainPath`, created or emptied and shared with nobody.
// A copy that cannot be written whole is wiped and the failure raised.
void DecryptFile(const Key& key, const std::string& protectedPath, const std::string& plainPath,
                 const Iv& iv, LastBlock rule, double plainLength) {
    CFile in;
    OpenProtected(in, protectedPath);
    CFile out;
    out.OpenOrThrow(plainPath, "wbn", Share::DenyAll);
    bool ok = false;
    try {
        ok = DecryptStream(key, iv, in, rule, plainLength,
                           [&](const uint8_t* p, size_t n) { return out.Write(p, n); });
    } catch (...) {
        out.Close();
        WipeIfPresent(plainPath);
        throw;
    }
    ok = out.Close() && ok;
    if (!ok) {
        WipeIfPresent(plainPath);
        throw CFileException(CFileException::diskFull, plainPath);
    }
}

// Encrypts the first (low 32 bits of its size) bytes of `in` into a new file beside the
// protected file, then puts the new file in its place.
void EncryptStream(const Key& key, const Iv& iv, CFile& in, const std::string& protectedPath) {
    const std::string newPath = StagedPath(protectedPath);
    CFile out;
    int cause = CFileException::none;
    platform::RemoveFile(newPath);  // a leftover (or whatever was put at its name) goes first
    if (!out.Open(newPath, "wbx", Share::DenyAll, &cause))
        throw CFileException(cause, protectedPath);

    uint32_t remaining = uint32_t(in.Length());
    std::vector<uint8_t> piece(kPiece);
    CbcCipher cipher(key, iv, true);
    bool ok = true;
    while (ok && remaining > 0) {
        size_t want = std::min<size_t>(remaining, kPiece);
        size_t got = in.Read(piece.data(), want);
        remaining = got < want ? 0 : uint32_t(remaining - got);  // a shrunken file ends here
        if (got == 0)
            break;
        size_t padded = (got + 15) / 16 * 16;
        std::memset(piece.data() + got, 0, padded - got);
        cipher.Process(piece.data(), padded);
        ok = out.Write(piece.data(), padded);
    }
    ok = ok && out.Sync();  // on the disk before it takes the protected file's name
    ok = out.Close() && ok;
    if (!ok) {
        platform::RemoveFile(newPath);
        throw CFileException(CFileException::diskFull, protectedPath);
    }
    if (!platform::ReplaceFile(newPath, protectedPath)) {
        int replaceCause = platform::LastFileErrorCause();
        platform::RemoveFile(newPath);
        throw CFileException(replaceCause, protectedPath);
    }
    platform::SyncFolderOf(protectedPath);
}

}  // namespace

void EncryptFileWithIv(const Key& key, const std::string& protectedPath,
                       const std::string& plainPath, const Iv& iv) {
    CFile in;
    in.OpenOrThrow(plainPath, "rb");
    EncryptStream(key, iv, in, protectedPath);
}

void DecryptFileWithIv(const Key& key, const std::string& protectedPath,
                       const std::string& plainPath, const Iv& iv) {
    DecryptFile(key, protectedPath, plainPath, iv, LastBlock::ThroughNewline, 0);
}

void DecryptLinesWithIv(const Key& key, const std::string& protectedPath,
                        const std::string& plainPath, const Iv& iv) {
    DecryptFile(key, protectedPath, plainPath, iv, LastBlock::ThroughLastNewline, 0);
}

void DecryptFileWithIvDropNewline(const Key& key, const std::string& protectedPath,
                                  const std::string& plainPath, const Iv& iv) {
    DecryptFile(key, protectedPath, plainPath, iv, LastBlock::BeforeNewline, 0);
}

void DecryptFileWithIvToLength(const Key& key, const std::string& protectedPath,
                               const std::string& plainPath, const Iv& iv, double plainLength) {
    DecryptFile(key, protectedPath, plainPath, iv, LastBlock::ToLength, plainLength);
}

bool DecryptStreamToLength(const Key& key, CFile& in, CFile& out, const Iv& iv,
                           uint64_t plainLength) {
    if (in.Length() % 16 != 0)
        throw CFileException(CFileException::invalidFile, in.GetFilePath());
    const bool written = DecryptStream(key, iv, in, LastBlock::ToLength, double(plainLength),
                                       [&](const uint8_t* p, size_t n) { return out.Write(p, n); });
    return out.Flush() && written;
}

bool DecryptFileToMemory(const Key& key, const std::string& protectedPath, const Iv& iv,
                         std::string& plain) {
    plain.clear();
    CFile in;
    if (!in.Open(protectedPath, "rbn") || in.Length() % 16 != 0)
        return false;
    try {
        return DecryptStream(key, iv, in, LastBlock::ThroughNewline, 0,
                             [&](const uint8_t* p, size_t n) {
                                 plain.append(reinterpret_cast<const char*>(p), n);
                                 return true;
                             });
    } catch (const CFileException&) {
        plain.clear();
        return false;
    }
}

Iv DatabaseIv(const std::string& databasePath) {
    return IvFromText(databasePath);
}
