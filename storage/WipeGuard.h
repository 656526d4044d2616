// A plaintext copy that must not outlive the operation that made it: when the operation
// ends early (a file exception on its way to the command's end), the guard wipes the copy
// if it is still there. On the normal road the operation wipes the copy itself, and the
// guard then finds nothing left to do.
#pragma once

#include <string>
#include <utility>

#include "platform/File.h"
#include "storage/ProtectedFile.h"

// Wipes the file if it is there, raising nothing: used on the way out of a failure.
inline void WipeQuietly(const std::string& path) {
    if (path.empty() || !platform::FileExists(path))
        return;
    try {
        SecureDeleteFile(path);
    } catch (...) {
        platform::RemoveFile(path);  // at least the name goes
    }
}

// Declare the guard before any stream that has the copy open, so the stream is closed first.
class WipeGuard {
  public:
    explicit WipeGuard(std::string path) : m_path(std::move(path)) {}
    ~WipeGuard() { WipeQuietly(m_path); }
    WipeGuard(const WipeGuard&) = delete;
    WipeGuard& operator=(const WipeGuard&) = delete;

  private:
    std::string m_path;
};
