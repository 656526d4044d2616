// The plain file operations on Windows-style paths: exists, folder test, remove, rename
// without replacing, atomic replace, copy and make folder, with the last error's cause.
// A copy is made through the kernel under a temporary name beside its target, forced to the
// disk and renamed into place, so a failed copy never leaves a half-written target; a move to
// another file system is a copy followed by removing the source, as Windows moves a file
// across volumes.
// Everything reaches the disk through the file-system seam.
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Drives.h"
#include "platform/Durable.h"
#include "platform/File.h"
#include "platform/FileException.h"
#include "platform/FileSystem.h"
#include "platform/KernelCopy.h"

namespace platform {

namespace {

thread_local int g_lastErrno = 0;

bool Fail(int err) {
    g_lastErrno = err;
    return false;
}

bool Succeed() {
    g_lastErrno = 0;
    return true;
}

// Copies the host file `from` into a new temporary file beside `to` (at `temp`, made afresh,
// when one is given: the caller has noted it for recovery), forces it to the disk and
// renames it into place (over an existing target only when `replace`). The copy keeps the
// source's permission bits, times and DOS attributes. errno tells a failure.
bool CopyHostFile(const std::string& from, const std::string& to, bool replace,
                  std::string temp = std::string()) {
    const int in = Fs().Open(from, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (in < 0)
        return false;
    errno = 0;
    struct stat st = {};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno ? errno : S_ISDIR(st.st_mode) ? EISDIR : EACCES;
        Fs().Close(in);
        errno = err;
        return false;
    }
    if (flock(in, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        Fs().Close(in);
        errno = EWOULDBLOCK;
        return false;
    }
    int out = -1;
    if (temp.empty()) {
        temp = to + ".XXXXXX";
        out = CreateTemporaryFile(temp);
    } else {
        out = Fs().Open(temp, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (out < 0) {
        const int err = errno;
        Fs().Close(in);
        errno = err;
        return false;
    }
    // The source's length when it was opened, through the kernel's copy.
    bool ok = CopyFileRange(in, 0, out, 0, int64_t(st.st_size));
    int err = ok ? 0 : errno;
    if (ok) {
        char attrib[256];
        const ssize_t len = fgetxattr(in, "user.DOSATTRIB", attrib, sizeof attrib);
        if (len > 0)
            fsetxattr(out, "user.DOSATTRIB", attrib, size_t(len), 0);
        fchmod(out, st.st_mode & 07777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        futimens(out, times);
        if (Fs().Sync(out) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (Fs().Close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    Fs().Close(in);
    if (ok && Fs().Rename(temp, to, replace) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        Fs().Remove(temp);
        errno = err;
    }
    return ok;
}

// Moves `from` to `to`; across file systems a plain file is copied (through `temp` when one
// is given) and then removed, the source only once the copy's name is on the disk.
bool MoveHost(const std::string& from, const std::string& to, bool replace,
              const std::string& temp = std::string()) {
    if (Fs().Rename(from, to, replace) == 0)
        return Succeed();
    if (errno != EXDEV)
        return Fail(errno);
    if (!CopyHostFile(from, to, replace, temp))
        return Fail(errno);
    if (!SyncHostFolder(HostFolderOf(to)))
        return Fail(errno);
    if (Fs().Remove(from) != 0)
        return Fail(errno);
    return Succeed();
}

}  // namespace

bool FileExists(const std::string& winPath) {
    struct stat st;
    const std::string host = HostPath(winPath);
    if (host.empty())
        return Fail(ENOENT);
    return lstat(host.c_str(), &st) == 0 ? Succeed() : Fail(errno);
}

bool IsDirectory(const std::string& winPath) {
    struct stat st;
    const std::string host = HostPath(winPath);
    if (host.empty())
        return Fail(ENOENT);
    if (stat(host.c_str(), &st) != 0)
        return Fail(errno);
    return S_ISDIR(st.st_mode) ? Succeed() : Fail(ENOTDIR);
}

bool RemoveFile(const std::string& winPath) {
    const std::string host = HostPath(winPath);
    if (host.empty())
        return Fail(ENOENT);
    return Fs().Remove(host) == 0 ? Succeed() : Fail(errno);
}

bool RenameFile(const std::string& from, const std::string& to, const std::string& copyTemp) {
    const std::string hostFrom = HostPath(from), hostTo = HostPath(to);
    const std::string hostTemp = copyTemp.empty() ? std::string() : HostPath(copyTemp);
    if (hostFrom.empty() || hostTo.empty() || (!copyTemp.empty() && hostTemp.empty()))
        return Fail(ENOENT);
    return MoveHost(hostFrom, hostTo, false, hostTemp);
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    const std::string hostFrom = HostPath(from), hostTo = HostPath(to);
    if (hostFrom.empty() || hostTo.empty())
        return Fail(ENOENT);
    return MoveHost(hostFrom, hostTo, true);
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists,
              const std::string& copyTemp) {
    const std::string hostFrom = HostPath(from), hostTo = HostPath(to);
    const std::string hostTemp = copyTemp.empty() ? std::string() : HostPath(copyTemp);
    if (hostFrom.empty() || hostTo.empty() || (!copyTemp.empty() && hostTemp.empty()))
        return Fail(ENOENT);
    struct stat st;
    if (failIfExists && lstat(hostTo.c_str(), &st) == 0)
        return Fail(EEXIST);
    if (stat(hostTo.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return Fail(EISDIR);
    return CopyHostFile(hostFrom, hostTo, !failIfExists, hostTemp) ? Succeed() : Fail(errno);
}

bool CreateDirectory(const std::string& winPath) {
    const std::string host = HostPath(winPath);
    if (host.empty())
        return Fail(ENOENT);
    // Its owner's alone, as every file the program creates.
    return Fs().MakeFolder(host, 0700) == 0 ? Succeed() : Fail(errno);
}

int LastFileErrorCause() {
    return CFileException::CauseFromErrno(g_lastErrno);
}

}  // namespace platform
