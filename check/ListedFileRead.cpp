// Reading a listed file for its digest with the fewest system calls the result needs: the
// open (non-blocking, so a pipe never holds it up; in the folder of the file before when it
// is the same), one status for its kind and length, the shared lock whose conflict is the
// sharing violation, the reads, the close.
#include "check/ListedFileRead.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileException.h"

namespace {

// How long a folder found along its path is used for the files after it.
constexpr std::chrono::milliseconds kFolderTrusted{10};

FileStamp StampOf(const struct stat& st) {
    FileStamp stamp;
    stamp.device = uint64_t(st.st_dev);
    stamp.inode = uint64_t(st.st_ino);
    stamp.size = uint64_t(st.st_size);
    stamp.modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changed = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

}  // namespace

bool StampOfPath(const std::string& hostPath, FileStamp& stamp) {
    struct stat st;
    if (hostPath.empty() || stat(hostPath.c_str(), &st) != 0)
        return false;
    stamp = StampOf(st);
    return true;
}

bool StampOfFile(int fd, FileStamp& stamp) {
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0)
        return false;
    stamp = StampOf(st);
    return true;
}

int ListedFolder::Open(const std::string& hostPath, int flags) {
    const size_t slash = hostPath.rfind('/');
    const auto now = std::chrono::steady_clock::now();
    if (slash != std::string::npos && slash + 1 < hostPath.size() &&
        hostPath.compare(0, slash + 1, m_path) == 0 && now - m_found < kFolderTrusted) {
        if (m_fd < 0)
            m_fd = open(m_path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (m_fd >= 0)
            return openat(m_fd, hostPath.c_str() + slash + 1, flags);
    }
    Forget();
    if (slash != std::string::npos) {
        m_path.assign(hostPath, 0, slash + 1);
        m_found = now;
    }
    return open(hostPath.c_str(), flags);
}

void ListedFolder::Forget() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    m_path.clear();
}

bool ListedFileRead::Open(const std::string& hostPath, ListedFolder& folder, int& cause) {
    Close();
    if (hostPath.empty()) {
        cause = CFileException::fileNotFound;
        return false;
    }
    const int fd = folder.Open(hostPath, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        cause = CFileException::CauseFromErrno(errno);
        return false;
    }
    int err = 0;
    struct stat st;
    if (fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    else if (!S_ISREG(st.st_mode))
        err = EACCES;
    // A file system without locks leaves the file unlocked; only a conflict refuses it.
    else if (flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        err = EWOULDBLOCK;
    if (err != 0) {
        close(fd);
        cause = CFileException::CauseFromErrno(err);
        return false;
    }
    // The descriptor stays non-blocking: reads of a plain file do not heed it.
    m_fd = fd;
    m_length = int64_t(st.st_size);
    m_openStamp = StampOf(st);
    m_steady = false;
    m_bytes = 0;
    MD5Init(&m_md5);
    cause = CFileException::none;
    return true;
}

ListedFileRead::Piece ListedFileRead::ReadPiece(unsigned char* buffer, size_t size, int& cause) {
    if (m_fd < 0)
        return Piece::End;
    ssize_t n;
    do {
        n = read(m_fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        cause = CFileException::CauseFromErrno(errno);
        Close();
        return Piece::Failed;
    }
    MD5Update(&m_md5, buffer, size_t(n));
    m_bytes += uint64_t(n);
    // A short read before the length at the open may be a file system's own piece size.
    if (n == 0 || (size_t(n) < size && m_bytes >= uint64_t(m_length))) {
        struct stat st;
        m_steady = fstat(m_fd, &st) == 0;
        if (m_steady) {
            m_endStamp = StampOf(st);
            m_steady = m_endStamp == m_openStamp && m_bytes == m_endStamp.size;
        }
        Close();
        return Piece::End;
    }
    return Piece::More;
}

std::string ListedFileRead::DigestText() {
    return DigestHex(MD5Final(&m_md5));
}

void ListedFileRead::Close() {
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}
