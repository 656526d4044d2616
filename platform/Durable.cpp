// Cutting, syncing and permission carrying on Windows-style paths, and the prefix's own
// host files written in one step (see Durable.h), all through the file-system seam.
#include "platform/Durable.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Drives.h"
#include "platform/FileSystem.h"

namespace platform {

namespace {

// Opens the host file without following a final link; -1 when it cannot.
int OpenNoFollow(const std::string& winPath, int flags) {
    const std::string host = HostPath(winPath);
    if (host.empty())
        return -1;
    return Fs().Open(host, flags | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK, 0);
}

}  // namespace

bool SyncHostFolder(const std::string& hostDir) {
    const int fd = Fs().Open(hostDir, O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return false;
    // A file system that cannot sync a folder (EINVAL) keeps its entries its own way.
    const bool ok = Fs().Sync(fd) == 0 || errno == EINVAL;
    const int err = errno;
    Fs().Close(fd);
    errno = err;
    return ok;
}

std::string HostFolderOf(const std::string& hostPath) {
    const size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : hostPath.substr(0, slash);
}

bool TruncateFile(const std::string& winPath, int64_t length) {
    const int fd = OpenNoFollow(winPath, O_WRONLY);
    if (fd < 0)
        return false;
    struct stat st;
    const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                    Fs().Truncate(fd, static_cast<off_t>(length)) == 0 && Fs().Sync(fd) == 0;
    Fs().Close(fd);
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
    const bool ok = Fs().Sync(fd) == 0;
    const int err = errno;
    Fs().Close(fd);
    errno = err;
    return ok;
}

bool SyncFolderOf(const std::string& winPath) {
    const std::string host = HostPath(winPath);
    return host.find('/') != std::string::npos && SyncHostFolder(HostFolderOf(host));
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

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = Fs().Write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

}  // namespace

bool WriteHostFileAtomically(const std::string& hostPath, const std::string& bytes) {
    const std::string dir = HostFolderOf(hostPath);
    // A folder made here is only there after a power loss once its own folder says so.
    if (Fs().MakeFolder(dir, 0700) == 0 && !SyncHostFolder(HostFolderOf(dir)))
        return false;
    const std::string temp = hostPath + ".tmp";
    Fs().Remove(temp);
    const int fd = Fs().Open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes) && Fs().Sync(fd) == 0;
    int err = ok ? 0 : errno;
    if (Fs().Close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && Fs().Rename(temp, hostPath, true) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        Fs().Remove(temp);
        errno = err;  // the caller learns why
        return false;
    }
    // The new file is the file only once the folder's entries are on the disk.
    return SyncHostFolder(dir);
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes) {
    bytes.clear();
    const int fd = Fs().Open(hostPath, O_RDONLY | O_CLOEXEC | O_NOFOLLOW, 0);
    if (fd < 0)
        return false;
    char buffer[65536];
    bool ok = true;
    while (true) {
        const ssize_t n = Fs().ReadAt(fd, buffer, sizeof buffer, off_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        bytes.append(buffer, size_t(n));
    }
    const int err = errno;
    Fs().Close(fd);
    errno = err;
    return ok;
}

bool RemoveHostFile(const std::string& hostPath) {
    if (Fs().Remove(hostPath) != 0 && errno != ENOENT)
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
