// One listed file read for the check's digest: opened as the check opens a listed file (for
// reading, shared with others under a shared lock, a plain file only, so a folder, a device or
// a pipe is refused with the access-denied cause), its length taken at the open, then read to
// its end in large pieces into MD5. The file's stamp is taken at the open and again at the
// end, so the caller can tell whether the bytes digested are one state of the file and
// whether the file is still in that state. The digest pool's workers and the pass's own thread use
// it; it touches nothing but its own descriptor and digest, and the caller lends the buffer
// and its ListedFolder.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/Md5.h"

// What tells one state of a file from another: the file itself, its size, and its times of
// last change of contents and of status (every write and every change of its attributes
// moves them).
struct FileStamp {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modified = 0, changed = 0;  // nanoseconds
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && modified == o.modified &&
               changed == o.changed;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
// The stamp of the file a host path names now (links followed), or of an open descriptor;
// false when there is none.
bool StampOfPath(const std::string& hostPath, FileStamp& stamp);
bool StampOfFile(int fd, FileStamp& stamp);

// The folder of the files one thread opens one after another. A file of the folder the last
// one came from is looked up in that folder alone instead of along its whole path (the
// prefix, the drive's link, every folder above), the folder being found again along its path
// every few milliseconds, so the lookup is never older than that.
class ListedFolder {
  public:
    ListedFolder() = default;
    ~ListedFolder() { Forget(); }
    ListedFolder(const ListedFolder&) = delete;
    ListedFolder& operator=(const ListedFolder&) = delete;

    // open(2) of a host path with `flags`: a descriptor, or -1 with errno set.
    int Open(const std::string& hostPath, int flags);
    void Forget();

  private:
    std::string m_path;  // the last file's folder, its '/' included
    int m_fd = -1;       // that folder, once a second file of it came
    std::chrono::steady_clock::time_point m_found;
};

class ListedFileRead {
  public:
    ListedFileRead() = default;
    ~ListedFileRead() { Close(); }
    ListedFileRead(const ListedFileRead&) = delete;
    ListedFileRead& operator=(const ListedFileRead&) = delete;

    // Opens the file at its host path (through `folder`) and starts its digest. False with the
    // file-exception cause when it cannot be opened (an empty host path is a file not found).
    bool Open(const std::string& hostPath, ListedFolder& folder, int& cause);

    enum class Piece { More, End, Failed };
    // Reads the next piece into `buffer` and feeds it to the digest. End once the file has
    // given all it has (a read that comes back short, at or past the length at the open);
    // Failed with the cause when a read fails. The file is closed at End and at Failed.
    Piece ReadPiece(unsigned char* buffer, size_t size, int& cause);

    int64_t LengthAtOpen() const { return m_length; }
    uint64_t BytesRead() const { return m_bytes; }
    // After End: the stamp at the end of the read, and whether it is the one of the open (the
    // file did not change while it was read).
    const FileStamp& EndStamp() const { return m_endStamp; }
    bool Steady() const { return m_steady; }
    // The digest of the bytes read, as 32 lower-case hexadecimal characters.
    std::string DigestText();
    void Close();

  private:
    int m_fd = -1;
    int64_t m_length = 0;
    uint64_t m_bytes = 0;
    Md5Context m_md5;
    FileStamp m_openStamp, m_endStamp;
    bool m_steady = false;
};
