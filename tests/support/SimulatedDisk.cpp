// The file system that can lose its power (see SimulatedDisk.h).
#include "tests/support/SimulatedDisk.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/Durable.h"

namespace {

std::string RealPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// The whole content of an open file, read through a descriptor of its own.
std::string ContentOf(int fd) {
    std::string content;
    const int own = open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_RDONLY | O_CLOEXEC);
    if (own < 0)
        return content;
    char buffer[65536];
    for (ssize_t n; (n = pread(own, buffer, sizeof buffer, off_t(content.size()))) > 0;)
        content.append(buffer, size_t(n));
    close(own);
    return content;
}

bool WriteWhole(int fd, const std::string& content) {
    for (size_t done = 0; done < content.size();) {
        const ssize_t n = pwrite(fd, content.data() + done, content.size() - done, off_t(done));
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Puts back the whole content of the file `pathFd` (an O_PATH descriptor) stands for, whatever
// its permission bits now.
bool PutBack(int pathFd, const std::string& content) {
    const std::string path = "/proc/self/fd/" + std::to_string(pathFd);
    struct stat st;
    if (fstat(pathFd, &st) != 0)
        return false;
    chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    const bool ok = fd >= 0 && WriteWhole(fd, content);
    if (fd >= 0)
        close(fd);
    chmod(path.c_str(), st.st_mode & 07777);
    return ok;
}

void Complain(const std::string& what, const std::string& path) {
    std::fprintf(stderr, "simulated disk: cannot %s %s\n", what.c_str(), path.c_str());
}

}  // namespace

SimulatedDisk::Kept::~Kept() {
    if (fd >= 0)
        close(fd);
}

SimulatedDisk::SimulatedDisk(const std::string& root)
    : m_root(RealPath(root) + "/"), m_system(platform::Fs()) {
    platform::SetFileSystem(this);
}

SimulatedDisk::~SimulatedDisk() {
    platform::SetFileSystem(nullptr);
    for (auto& [id, unsynced] : m_unsynced) close(unsynced.fd);
}

void SimulatedDisk::FailAt(Fault fault, int n) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fault = fault;
    m_failAt = n;
    m_writes = m_syncs = 0;
    m_faultHappened = false;
}

int SimulatedDisk::Counted() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fault == Fault::IoError ? m_writes + m_syncs : m_writes;
}

bool SimulatedDisk::Watched(const std::string& path, Id* folder) const {
    const std::string parent = RealPath(platform::HostFolderOf(path));
    struct stat st;
    if (parent.empty() || (parent + "/").compare(0, m_root.size(), m_root) != 0 ||
        stat(parent.c_str(), &st) != 0)
        return false;
    if (folder)
        *folder = Id(st.st_dev, st.st_ino);
    return true;
}

bool SimulatedDisk::WatchedFd(int fd) const {
    return m_fds.count(fd) != 0;
}

std::shared_ptr<SimulatedDisk::Kept> SimulatedDisk::Keep(const std::string& path) const {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return nullptr;
    auto kept = std::make_shared<Kept>();
    kept->mode = st.st_mode & 07777;
    if (S_ISLNK(st.st_mode)) {
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        kept->isLink = true;
        kept->link.assign(target, size_t(n > 0 ? n : 0));
        return kept;
    }
    kept->fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (kept->fd < 0)
        Complain("keep", path);
    return kept;
}

void SimulatedDisk::MakeAgain(const std::string& path, const Kept& kept) const {
    unlink(path.c_str());
    if (kept.isLink) {
        if (symlink(kept.link.c_str(), path.c_str()) != 0)
            Complain("link again", path);
        return;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 || kept.fd < 0 || !WriteWhole(fd, ContentOf(kept.fd)))
        Complain("make again", path);
    if (fd >= 0) {
        fchmod(fd, kept.mode);
        close(fd);
    }
}

void SimulatedDisk::BeforeChange(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return;
    const Id id(st.st_dev, st.st_ino);
    if (m_unsynced.count(id) != 0)
        return;
    // A description of its own: a duplicate would keep the program's lock on the file.
    Unsynced& unsynced = m_unsynced[id];
    unsynced.fd = open(("/proc/self/fd/" + std::to_string(fd)).c_str(), O_PATH | O_CLOEXEC);
    unsynced.content = ContentOf(fd);
}

bool SimulatedDisk::Fails(int fd, bool isSync) {
    int& count = isSync ? m_syncs : m_writes;
    ++count;
    bool fails = false;
    if (m_failAt <= 0)
        fails = false;
    else if (m_fault == Fault::DiskFull)
        fails = !isSync && m_writes >= m_failAt;
    else if (m_fault == Fault::IoError)
        fails = m_writes + m_syncs == m_failAt;
    if (!fails)
        return false;
    if (!m_faultHappened)
        m_faultPath = m_fds[fd];
    m_faultHappened = true;
    errno = m_fault == Fault::DiskFull ? ENOSPC : EIO;
    return true;
}

int SimulatedDisk::Open(const std::string& hostPath, int flags, mode_t mode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Id folder;
    if (!Watched(hostPath, &folder))
        return m_system.Open(hostPath, flags, mode);
    struct stat st;
    const bool existed = lstat(hostPath.c_str(), &st) == 0;
    // An emptying open is an open and a cut, so the content is noted before it goes.
    const int fd = m_system.Open(hostPath, flags & ~O_TRUNC, mode);
    if (fd < 0)
        return fd;
    m_fds[fd] = hostPath;
    if (!existed && (flags & O_CREAT))
        m_changes.push_back({Change::Made, folder, hostPath, nullptr, nullptr});
    if ((flags & O_TRUNC) && existed && (flags & O_ACCMODE) != O_RDONLY) {
        BeforeChange(fd);
        if (m_system.Truncate(fd, 0) != 0) {
            const int err = errno;
            m_fds.erase(fd);
            m_system.Close(fd);
            errno = err;
            return -1;
        }
    }
    return fd;
}

int SimulatedDisk::Close(int fd) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fds.erase(fd);
    }
    return m_system.Close(fd);
}

ssize_t SimulatedDisk::ReadAt(int fd, void* data, size_t length, off_t offset) {
    return m_system.ReadAt(fd, data, length, offset);
}

ssize_t SimulatedDisk::Write(int fd, const void* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!WatchedFd(fd))
        return m_system.Write(fd, data, length);
    if (Fails(fd, false))
        return -1;
    BeforeChange(fd);
    return m_system.Write(fd, data, length);
}

ssize_t SimulatedDisk::WriteAt(int fd, const void* data, size_t length, off_t offset) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!WatchedFd(fd))
        return m_system.WriteAt(fd, data, length, offset);
    if (Fails(fd, false))
        return -1;
    BeforeChange(fd);
    return m_system.WriteAt(fd, data, length, offset);
}

ssize_t SimulatedDisk::CopyRange(int in, off_t inOffset, int out, off_t outOffset,
                                 size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!WatchedFd(out))
        return m_system.CopyRange(in, inOffset, out, outOffset, length);
    if (Fails(out, false))
        return -1;
    BeforeChange(out);
    return m_system.CopyRange(in, inOffset, out, outOffset, length);
}

int SimulatedDisk::Truncate(int fd, off_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (WatchedFd(fd))
        BeforeChange(fd);
    return m_system.Truncate(fd, length);
}

int SimulatedDisk::Sync(int fd) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!WatchedFd(fd))
        return m_system.Sync(fd);
    if (Fails(fd, true))
        return -1;
    const int result = m_system.Sync(fd);
    struct stat st;
    if (result != 0 || fstat(fd, &st) != 0)
        return result;
    const Id id(st.st_dev, st.st_ino);
    if (S_ISDIR(st.st_mode)) {
        std::vector<Change> kept;
        for (Change& change : m_changes)
            if (change.folder != id)
                kept.push_back(std::move(change));
        m_changes.swap(kept);
    } else {
        const auto unsynced = m_unsynced.find(id);
        if (unsynced != m_unsynced.end()) {
            close(unsynced->second.fd);
            m_unsynced.erase(unsynced);
        }
    }
    return result;
}

int SimulatedDisk::Rename(const std::string& from, const std::string& to, bool replace) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Id fromFolder, toFolder;
    if (!Watched(from, &fromFolder) || !Watched(to, &toFolder))
        return m_system.Rename(from, to, replace);
    const std::shared_ptr<Kept> moving = Keep(from);
    const std::shared_ptr<Kept> replaced = replace ? Keep(to) : nullptr;
    const int result = m_system.Rename(from, to, replace);
    if (result == 0) {
        m_changes.push_back({Change::MovedOut, fromFolder, from, moving, nullptr});
        m_changes.push_back({Change::MovedIn, toFolder, to, nullptr, replaced});
    }
    return result;
}

int SimulatedDisk::Remove(const std::string& hostPath) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Id folder;
    if (!Watched(hostPath, &folder))
        return m_system.Remove(hostPath);
    const std::shared_ptr<Kept> kept = Keep(hostPath);
    const int result = m_system.Remove(hostPath);
    if (result == 0)
        m_changes.push_back({Change::Removed, folder, hostPath, kept, nullptr});
    return result;
}

int SimulatedDisk::MakeFolder(const std::string& hostPath, mode_t mode) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Id folder;
    const bool watched = Watched(hostPath, &folder);
    const int result = m_system.MakeFolder(hostPath, mode);
    if (watched && result == 0)
        m_changes.push_back({Change::MadeFolder, folder, hostPath, nullptr, nullptr});
    return result;
}

void SimulatedDisk::Undo(const Change& change) const {
    switch (change.kind) {
        case Change::Made:
            unlink(change.path.c_str());
            break;
        case Change::MadeFolder: {
            // Whatever was made in it went with it, durable or not.
            std::error_code ec;
            std::filesystem::remove_all(change.path, ec);
            break;
        }
        case Change::MovedIn:
            unlink(change.path.c_str());
            if (change.replaced)
                MakeAgain(change.path, *change.replaced);
            break;
        case Change::Removed:
        case Change::MovedOut:
            if (change.kept)
                MakeAgain(change.path, *change.kept);
            break;
    }
}

void SimulatedDisk::PowerLoss() {
    std::lock_guard<std::mutex> lock(m_mutex);
    // The data first, by file: the names put back below read their files' durable content.
    for (auto& [id, unsynced] : m_unsynced) {
        if (!PutBack(unsynced.fd, unsynced.content))
            Complain("put back the content of", "a file");
        close(unsynced.fd);
    }
    m_unsynced.clear();
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) Undo(*change);
    m_changes.clear();
}
