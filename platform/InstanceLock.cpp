// The lock that keeps a prefix to one program at a time (see InstanceLock.h).
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Prefix.h"

namespace platform {

std::string InstanceLockPath() {
    return PrefixRoot() + "/quillstead.lock";
}

InstanceLock::~InstanceLock() {
    if (m_fd >= 0)
        close(m_fd);  // closing the only descriptor of the open file drops the lock
}

bool InstanceLock::Acquire(std::string& message) {
    if (m_fd >= 0)
        return true;
    const std::string prefix = PrefixRoot();
    if (!MakePrefixFolder()) {
        message = "Cannot make the folder " + prefix + ": " + std::strerror(errno);
        return false;
    }
    const std::string path = InstanceLockPath();
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        message = "Cannot open the lock file " + path + ": " + std::strerror(errno);
        return false;
    }
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno == EWOULDBLOCK) {
        close(fd);
        message = "Quillstead is already running with the prefix " + prefix +
                  ". Only one Quillstead can use a prefix at a time.";
        return false;
    }
    // A file system without flock cannot keep a second program out; it is not refused for
    // that, as the file streams are not.
    m_fd = fd;
    return true;
}

}  // namespace platform
