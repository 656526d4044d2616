// Cutting, syncing and permission carrying on Windows-style paths, and the prefix's own
// host files written in one step (see Durable.h).
#include "platform/Durable.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Drives.h"

namespace platform {

namespace {

// Opens the host file without following a final link; -1 when it cannot.
int OpenNoFollow(const std::string& winPath, int flags) {
    const std::string host = HostPath(winPath);
    if (host.empty())
        return -1;
    return open(host.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK);
}

}  // namespace

bool TruncateFile(const std::string& winPath, int64_t length) {
    const int fd = OpenNoFollow(winPath, O_WRONLY);
    if (fd < 0)
        return false;
    struct stat st;
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                    ftruncate(fd, static_cast<off_t>(length)) == 0 && fsync(fd) == 0;
    close(fd);
    return ok;
}

int64_t FileLength(const std::string& winPath) {
    struct stat st;
    const std::string host = HostPath(winPath);
    if (host.empty() || lstat(host.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return st.st_size;
}

bool IsSymbolicLink(const std::string& winPath) {
    struct stat st;
    const std::string host = HostPath(winPath);
    return !host.empty() && lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool SyncFile(const std::string& winPath) {
    const int fd = OpenNoFollow(winPath, O_RDONLY);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

bool SyncFolderOf(const std::string& winPath) {
    const std::string host = HostPath(winPath);
    const size_t slash = host.rfind('/');
    if (slash == std::string::npos)
        return false;
    const int fd =
        open(slash == 0 ? "/" : host.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

bool TakeModeAndOwner(int fd, const std::string& model) {
    struct stat st;
    const std::string host = HostPath(model);
    if (host.empty() || stat(host.c_str(), &st) != 0)
        return false;
    // The owner first: a change of owner may clear the set-id bits the mode then restores.
    if (fchown(fd, st.st_uid, st.st_gid) != 0)
        (void)!fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    return fchmod(fd, st.st_mode & 07777) == 0;
}

bool IsOwnSingleLinkFile(int fd) {
    struct stat st;
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == geteuid();
}

bool NamesOpenFile(const std::string& winPath, int fd) {
    struct stat named, open;
    const std::string host = HostPath(winPath);
    return !host.empty() && lstat(host.c_str(), &named) == 0 && fstat(fd, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

std::string FolderOf(const std::string& winPath) {
    const size_t slash = winPath.rfind('\\');
    return slash == std::string::npos ? std::string() : winPath.substr(0, slash + 1);
}

}  // namespace platform

// ---- host files ----------------------------------------------------------------------

namespace platform {

namespace {

bool SyncHostFolder(const std::string& hostDir) {
    const int fd = open(hostDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = fsync(fd) == 0;
    close(fd);
    return ok;
}

std::string HostFolderOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

bool WriteHostFileAtomically(const std::string& hostPath, const std::string& bytes) {
    const std::string dir = HostFolderOf(hostPath);
    mkdir(dir.c_str(), 0700);
    const std::string temp = hostPath + ".tmp";
    unlink(temp.c_str());
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && rename(temp.c_str(), hostPath.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        errno = err;  // the caller learns why
        return false;
    }
    SyncHostFolder(dir);
    return true;
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes) {
    bytes.clear();
    const int fd = open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    char buffer[65536];
    bool ok = true;
    while (true) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        bytes.append(buffer, size_t(n));
    }
    close(fd);
    return ok;
}

bool RemoveHostFile(const std::string& hostPath) {
    if (unlink(hostPath.c_str()) != 0 && errno != ENOENT)
        return false;
    SyncHostFolder(HostFolderOf(hostPath));
    return true;
}

std::vector<std::string> ListHostFolder(const std::string& hostDir, const std::string& prefix) {
    std::vector<std::string> names;
    DIR* dir = opendir(hostDir.c_str());
    if (dir == nullptr)
        return names;
    while (const struct dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0 && name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace platform
