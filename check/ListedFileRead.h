// One listed file read for the check's digest: opened as the check opens a listed file (for
// reading, shared with others under a shared lock, a plain file only, so a folder, a device or
// a pipe is refused with the access-denied cause), its length taken at the open, then read to
// its end in large pieces into MD5. The digest pool's workers and the pass's own thread use
// it; it touches nothing but its own descriptor and digest, and the caller lends the buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/Md5.h"

class ListedFileRead {
  public:
    ListedFileRead() = default;
    ~ListedFileRead() { Close(); }
    ListedFileRead(const ListedFileRead&) = delete;
    ListedFileRead& operator=(const ListedFileRead&) = delete;

    // Opens the file at its host path and starts its digest. False with the file-exception
    // cause when it cannot be opened (an empty host path is a file not found).
    bool Open(const std::string& hostPath, int& cause);

    enum class Piece { More, End, Failed };
    // Reads the next piece into `buffer` and feeds it to the digest. End once the file has
    // given all it has (a read that comes back short, at or past the length at the open);
    // Failed with the cause when a read fails. The file is closed at End and at Failed.
    Piece ReadPiece(unsigned char* buffer, size_t size, int& cause);

    int64_t LengthAtOpen() const { return m_length; }
    uint64_t BytesRead() const { return m_bytes; }
    // The digest of the bytes read, as 32 lower-case hexadecimal characters.
    std::string DigestText();
    void Close();

  private:
    int m_fd = -1;
    int64_t m_length = 0;
    uint64_t m_bytes = 0;
    Md5Context m_md5;
};
