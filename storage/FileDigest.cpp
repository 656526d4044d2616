// The digest of a file read once.
#include "storage/FileDigest.h"

#include <algorithm>
#include <vector>

#include "platform/File.h"
#include "storage/Md5.h"
#include "storage/SecureText.h"

bool DigestWhileReadingUpTo(platform::CFile& file, uint64_t limit, std::string& digest,
                            uint64_t& total, const StoppablePieceSink& sink) {
    Md5Context md5;
    MD5Init(&md5);
    std::vector<unsigned char> piece(size_t(1) << 16);
    total = 0;
    bool whole = true;
    while (total < limit) {
        const size_t want = size_t(std::min<uint64_t>(piece.size(), limit - total));
        const size_t n = file.Read(piece.data(), want);
        if (n == 0)
            break;
        if (sink && !sink(piece.data(), n)) {
            whole = false;
            break;
        }
        MD5Update(&md5, piece.data(), n);
        total += n;
    }
    WipeMemory(piece.data(), piece.size());
    const unsigned char* result = MD5Final(&md5);
    if (whole)
        digest = DigestHex(result);
    return whole;
}

uint64_t DigestWhileReading(platform::CFile& file, std::string& digest, const FilePieceSink& sink) {
    uint64_t total = 0;
    DigestWhileReadingUpTo(file, ~uint64_t(0), digest, total,
                           [&](const unsigned char* data, size_t n) {
                               if (sink)
                                   sink(data, n);
                               return true;
                           });
    return total;
}

std::string DigestOfFile(const std::string& path, const char* mode) {
    platform::CFile in;
    in.OpenOrThrow(path, mode);
    std::string digest;
    DigestWhileReading(in, digest);
    return digest;
}

std::string DigestStoredFile(const std::string& path) {
    return DigestOfFile(path, "rbn");  // a stored file is never read through a link
}
