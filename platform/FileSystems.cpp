// The file systems under the drives: free space by statvfs, folder identities by stat, the
// kernel's pseudo file systems told by the type of the mount a device belongs to (read from
// /proc/self/mountinfo, again only when a device is not in the table read last), the drive
// links, and whether a folder can be listed.
#include "platform/FileSystems.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <cstdio>
#include <fstream>
#include <mutex>
#include <sstream>
#include <unordered_map>

#include "platform/Drives.h"
#include "platform/Prefix.h"

namespace platform {

namespace {

// Device id -> file system type, as the mounts stood when it was read.
std::unordered_map<uint64_t, std::string> ReadMountTypes() {
    std::unordered_map<uint64_t, std::string> types;
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, majmin, word, type;
        fields >> id >> parent >> majmin;
        while (fields >> word && word != "-") {
        }
        fields >> type;
        unsigned maj = 0, min = 0;
        if (std::sscanf(majmin.c_str(), "%u:%u", &maj, &min) == 2)
            types[uint64_t(makedev(maj, min))] = type;
    }
    return types;
}

}  // namespace

bool GetDiskFreeBytes(const std::string& winPath, uint64_t& freeBytes) {
    struct statvfs st;
    if (statvfs(HostPath(winPath).c_str(), &st) != 0)
        return false;
    freeBytes = uint64_t(st.f_bavail) * uint64_t(st.f_frsize);
    return true;
}

bool GetFolderId(const std::string& winPath, bool throughLink, FolderId& id) {
    std::string host = HostPath(winPath);
    // A trailing slash would make lstat look through a link.
    while (host.size() > 1 && host.back() == '/') host.pop_back();
    struct stat st;
    if ((throughLink ? stat(host.c_str(), &st) : lstat(host.c_str(), &st)) != 0 ||
        !S_ISDIR(st.st_mode))
        return false;
    id.device = uint64_t(st.st_dev);
    id.inode = uint64_t(st.st_ino);
    return true;
}

bool IsKernelFileSystemType(const std::string& type) {
    static const char* const kKernel[] = {
        "proc",       "sysfs", "devtmpfs", "devpts",   "cgroup",  "cgroup2", "debugfs",   "tracefs",
        "securityfs", "bpf",   "pstore",   "configfs", "fusectl", "mqueue",  "hugetlbfs", "autofs"};
    for (const char* k : kKernel) {
        if (type == k)
            return true;
    }
    return false;
}

bool OnKernelFileSystem(const FolderId& id) {
    static std::mutex mutex;
    static std::unordered_map<uint64_t, std::string> types;
    std::lock_guard<std::mutex> lock(mutex);
    auto it = types.find(id.device);
    if (it == types.end()) {
        types = ReadMountTypes();
        it = types.find(id.device);
        if (it == types.end())
            return false;
    }
    return IsKernelFileSystemType(it->second);
}

bool DriveIsMapped(char letter) {
    const char lower = char(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    struct stat st;
    return lstat((DosDevicesDir() + "/" + lower + ":").c_str(), &st) == 0;
}

bool CanSearchFolder(const std::string& winPath) {
    DIR* dir = opendir(HostPath(winPath).c_str());
    if (!dir)
        return false;
    closedir(dir);
    return true;
}

}  // namespace platform
