// The file-system seam: every call that reads, writes, syncs, cuts, renames, removes or makes a
// file or a folder on behalf of the file streams, the durable operations, the plain file
// operations and the prefix's own host files goes through the one FileSystem in use. The
// program uses the system itself; a test puts a double in its place (to lose what was not made
// durable, or to fail a write). Paths are host paths; every call answers as the system call
// does: -1 with errno set on failure. Queries that change nothing (the status of a name or of a
// descriptor, locks, extended attributes) stay with the system.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace platform {

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // open(2): `mode` is used when the call creates the file.
    virtual int Open(const std::string& hostPath, int flags, mode_t mode) = 0;
    virtual int Close(int fd) = 0;
    virtual ssize_t ReadAt(int fd, void* data, size_t length, off_t offset) = 0;
    // At the descriptor's offset (at the end for an appending descriptor).
    virtual ssize_t Write(int fd, const void* data, size_t length) = 0;
    virtual ssize_t WriteAt(int fd, const void* data, size_t length, off_t offset) = 0;
    // copy_file_range(2) of up to `length` bytes between the offsets (the kernel's copy).
    virtual ssize_t CopyRange(int in, off_t inOffset, int out, off_t outOffset,
                              size_t length) = 0;
    // Forces a file's data, or a folder's entries, to the disk.
    virtual int Sync(int fd) = 0;
    virtual int Truncate(int fd, off_t length) = 0;
    // Without `replace`, fails with EEXIST when `to` exists.
    virtual int Rename(const std::string& from, const std::string& to, bool replace) = 0;
    virtual int Remove(const std::string& hostPath) = 0;
    virtual int MakeFolder(const std::string& hostPath, mode_t mode) = 0;
};

// The file system in use: the system's own unless a test set another.
FileSystem& Fs();
// Puts `fs` in use (null: the system's own again).
void SetFileSystem(FileSystem* fs);

// Creates a new file (0600, read and write) whose name is `path` with its last six
// characters, "XXXXXX", replaced by a free name; `path` then holds the name.
int CreateTemporaryFile(std::string& path);

}  // namespace platform
