// The kernel copy's chunks, its fallback to reads and writes, and the progress watchers.
#include "platform/KernelCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

namespace {

thread_local CopyProgressScope* t_innermost = nullptr;

// One chunk by reads and writes; the bytes copied, or -1.
ssize_t CopyByHand(int in, off_t inOffset, int out, off_t outOffset, size_t length) {
    static thread_local std::vector<char> buffer(size_t(1) << 20);
    size_t done = 0;
    while (done < length) {
        const size_t want = std::min(buffer.size(), length - done);
        const ssize_t got = Fs().ReadAt(in, buffer.data(), want, inOffset + off_t(done));
        if (got <= 0) {
            if (got == 0)
                errno = EIO;
            return -1;
        }
        for (ssize_t written = 0; written < got;) {
            const ssize_t k = Fs().WriteAt(out, buffer.data() + written, size_t(got - written),
                                           outOffset + off_t(done) + written);
            if (k <= 0) {
                if (k == 0)
                    errno = ENOSPC;
                return -1;
            }
            written += k;
        }
        done += size_t(got);
    }
    return ssize_t(done);
}

}  // namespace

CopyProgressScope::CopyProgressScope(Watcher watcher)
    : m_watcher(std::move(watcher)), m_outer(t_innermost) {
    t_innermost = this;
}

CopyProgressScope::~CopyProgressScope() {
    t_innermost = m_outer;
}

void TellCopyProgress(int64_t bytes) {
    for (CopyProgressScope* scope = t_innermost; scope; scope = scope->m_outer) {
        if (scope->m_watcher)
            scope->m_watcher(bytes);
    }
}

bool CopyFileRange(int in, int64_t inOffset, int out, int64_t outOffset, int64_t length) {
    bool kernel = true;
    while (length > 0) {
        const size_t chunk = size_t(std::min(length, kCopyChunk));
        ssize_t copied = -1;
        if (kernel) {
            copied = Fs().CopyRange(in, off_t(inOffset), out, off_t(outOffset), chunk);
            if (copied == 0) {
                errno = EIO;  // the source ended early
                return false;
            }
            // Refused between these files or by this kernel: reads and writes from here on.
            if (copied < 0 && (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP ||
                               errno == EINVAL || errno == EBADF || errno == ETXTBSY)) {
                kernel = false;
                continue;
            }
        } else {
            copied = CopyByHand(in, off_t(inOffset), out, off_t(outOffset), chunk);
        }
        if (copied < 0)
            return false;
        // The chunk starts on its way to the disk now, so that the sync that commits the
        // copy finds little left to write.
        sync_file_range(out, off_t(outOffset), off_t(copied), SYNC_FILE_RANGE_WRITE);
        inOffset += copied;
        outOffset += copied;
        length -= copied;
        TellCopyProgress(copied);
    }
    return true;
}

}  // namespace platform
