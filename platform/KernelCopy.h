// Copying a range of bytes from one open file to another through the kernel: copy_file_range,
// which shares the blocks (a reflink) where the file system can and copies them in the kernel
// otherwise, with plain reads and writes where even that is refused (another file system, an
// old kernel), all through the file-system seam. It copies in chunks and tells the progress watcher in force after each one, so
// a long copy can show how far it got and let the window repaint.
#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The bytes copied in one chunk are told to every watcher in force on this thread, the
// innermost first.
class CopyProgressScope {
  public:
    using Watcher = std::function<void(int64_t bytes)>;
    explicit CopyProgressScope(Watcher watcher);
    ~CopyProgressScope();
    CopyProgressScope(const CopyProgressScope&) = delete;
    CopyProgressScope& operator=(const CopyProgressScope&) = delete;

  private:
    Watcher m_watcher;
    CopyProgressScope* m_outer;
    friend void TellCopyProgress(int64_t bytes);
};

// Tells the watchers in force that `bytes` more were copied.
void TellCopyProgress(int64_t bytes);

// The most one chunk copies.
constexpr int64_t kCopyChunk = int64_t(4) << 20;

// Copies `length` bytes of `in` from `inOffset` to `out` at `outOffset` (neither file's own
// offset moves). False, with errno set, when a read or write fails or `in` ends first
// (errno EIO then).
bool CopyFileRange(int in, int64_t inOffset, int out, int64_t outOffset, int64_t length);

}  // namespace platform
