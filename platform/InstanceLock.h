// One program per prefix. The window and the headless driver each hold an exclusive lock
// (flock) on the file "quillstead.lock" in the prefix for as long as they run; a second
// start on the same prefix finds it held and is refused with a message. The lock belongs
// to the process's open file, so it goes when the process ends however it ends (a crash or
// a kill included): a lock file left behind never blocks a start. The file is closed on
// exec, so a program the process starts does not inherit the lock. The core's tests take no
// lock; only the program and the driver do.
#pragma once

#include <string>

namespace platform {

// <prefix>/quillstead.lock
std::string InstanceLockPath();

class InstanceLock {
  public:
    InstanceLock() = default;
    ~InstanceLock();  // gives the lock up
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Makes the prefix's folder when it is missing and takes the lock of the prefix in use.
    // False, with the message to show in `message`, when another program holds it or it
    // cannot be taken.
    bool Acquire(std::string& message);
    bool Held() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

}  // namespace platform
