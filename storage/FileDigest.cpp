// The digest of a file read once.
#include "storage/FileDigest.h"

#include <vector>

#include "platform/File.h"
#include "storage/Md5.h"
#include "storage/SecureText.h"

uint64_t DigestWhileReading(platform::CFile& file, std::string& digest, const FilePieceSink& sink) {
    Md5Context md5;
    MD5Init(&md5);
    std::vector<unsigned char> piece(size_t(1) << 16);
    uint64_t total = 0;
    for (size_t n; (n = file.Read(piece.data(), piece.size())) != 0; total += n) {
        MD5Update(&md5, piece.data(), n);
        if (sink)
            sink(piece.data(), n);
    }
    WipeMemory(piece.data(), piece.size());
    digest = DigestHex(MD5Final(&md5));
    return total;
}

std::string DigestOfFile(const std::string& path) {
    platform::CFile in;
    in.OpenOrThrow(path, "rb");
    std::string digest;
    DigestWhileReading(in, digest);
    return digest;
}
