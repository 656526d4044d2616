// The MD5 digest of a file, read once to its end in large pieces: the one digest every
// command takes of a file it adds, accepts or keeps (a stored database). The pieces can be
// handed on as they are read, so a backup copy is made from the very bytes the digest
// describes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {
class CFile;
}

using FilePieceSink = std::function<void(const unsigned char* data, size_t length)>;

// Reads the open file from where it stands to its end; `digest` gets the 32 lower-case hex
// characters. Returns the number of bytes read. The pieces are wiped after use.
uint64_t DigestWhileReading(platform::CFile& file, std::string& digest,
                            const FilePieceSink& sink = nullptr);
// As DigestWhileReading, with at most `limit` bytes read (a caller that measured the file
// when it opened it does not chase a file that grows meanwhile), and a sink that can stop the
// read by returning false: the result is then false and no digest is made. `total` gets the
// number of bytes read. The pieces are whole multiples of 64 bytes but for the last.
using StoppablePieceSink = std::function<bool(const unsigned char* data, size_t length)>;
bool DigestWhileReadingUpTo(platform::CFile& file, uint64_t limit, std::string& digest,
                            uint64_t& total, const StoppablePieceSink& sink);
// The digest of a whole file on disk; raises the file exception when it cannot be opened.
std::string DigestOfFile(const std::string& path, const char* mode = "rb");
// The digest of a stored (encrypted) file as it lies on the disk: what field 5 of a
// database's "Database Index" line keeps. Raises as DigestOfFile does.
std::string DigestStoredFile(const std::string& path);
