// The system's own file system behind the seam: each call is the system call, retried when a
// signal interrupts it; and the seam in use.
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

namespace platform {

namespace {

template <class Call>
auto Retried(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

class SystemFileSystem final : public FileSystem {
  public:
    int Open(const std::string& hostPath, int flags, mode_t mode) override {
        return Retried([&] { return open(hostPath.c_str(), flags, mode); });
    }
    int Close(int fd) override { return close(fd); }
    ssize_t ReadAt(int fd, void* data, size_t length, off_t offset) override {
        return Retried([&] { return pread(fd, data, length, offset); });
    }
    ssize_t Write(int fd, const void* data, size_t length) override {
        return Retried([&] { return write(fd, data, length); });
    }
    ssize_t WriteAt(int fd, const void* data, size_t length, off_t offset) override {
        return Retried([&] { return pwrite(fd, data, length, offset); });
    }
    ssize_t CopyRange(int in, off_t inOffset, int out, off_t outOffset, size_t length) override {
        return Retried([&] {
            loff_t from = inOffset, to = outOffset;
            return copy_file_range(in, &from, out, &to, length, 0);
        });
    }
    int Sync(int fd) override {
        return Retried([&] { return fsync(fd); });
    }
    int Truncate(int fd, off_t length) override {
        return Retried([&] { return ftruncate(fd, length); });
    }
    int Rename(const std::string& from, const std::string& to, bool replace) override {
        if (replace)
            return rename(from.c_str(), to.c_str());
        if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS)
            return -1;
        // A file system without the no-replace rename: look first.
        struct stat st;
        if (lstat(to.c_str(), &st) == 0) {
            errno = EEXIST;
            return -1;
        }
        return rename(from.c_str(), to.c_str());
    }
    int Remove(const std::string& hostPath) override { return unlink(hostPath.c_str()); }
    int MakeFolder(const std::string& hostPath, mode_t mode) override {
        return mkdir(hostPath.c_str(), mode);
    }
};

FileSystem& SystemFs() {
    static SystemFileSystem fs;
    return fs;
}

FileSystem* g_fs = nullptr;

}  // namespace

FileSystem& Fs() {
    return g_fs ? *g_fs : SystemFs();
}

void SetFileSystem(FileSystem* fs) {
    g_fs = fs;
}

int CreateTemporaryFile(std::string& path) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::minstd_rand random(std::random_device{}());
    if (path.size() < 6 || path.compare(path.size() - 6, 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return -1;
    }
    for (int attempt = 0; attempt < 1000; ++attempt) {
        for (size_t i = path.size() - 6; i < path.size(); ++i)
            path[i] = kLetters[random() % (sizeof kLetters - 1)];
        const int fd = Fs().Open(path, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

}  // namespace platform
