// What a folder walk and the add's free-space test need to know of the file systems under
// the drives: the free space where a folder lies, a folder's identity (so a walk enters each
// folder once), whether a folder lies on one of the kernel's own pseudo file systems (which
// a walk never enters), whether a drive letter is mapped at all, and whether a folder can be
// searched.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// The bytes an ordinary writer may still use on the file system that holds the folder
// (statvfs: available blocks times the fragment size). False when it cannot be asked.
bool GetDiskFreeBytes(const std::string& winPath, uint64_t& freeBytes);

// A folder's identity: its device and inode.
struct FolderId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const FolderId& o) const { return device == o.device && inode == o.inode; }
};
struct FolderIdHash {
    size_t operator()(const FolderId& id) const {
        return std::hash<uint64_t>()(id.inode * 1000003u ^ id.device);
    }
};

// The identity of the folder at `winPath`. With `throughLink` false the path's last part must
// be the folder itself, not a symbolic link to one. False when it is no such folder.
bool GetFolderId(const std::string& winPath, bool throughLink, FolderId& id);

// Whether the folder lies on a pseudo file system of the kernel (proc, sysfs, devtmpfs,
// devpts, cgroup, cgroup2, debugfs, tracefs, securityfs, bpf, pstore, configfs, fusectl,
// mqueue, hugetlbfs, autofs), told by the mount its device belongs to.
bool OnKernelFileSystem(const FolderId& id);
// Whether a file system type is one of those.
bool IsKernelFileSystemType(const std::string& type);

// Whether the drive letter has its link in <prefix>/dosdevices (whether or not the link
// leads anywhere).
bool DriveIsMapped(char letter);

// Whether the folder's entries can be listed.
bool CanSearchFolder(const std::string& winPath);

}  // namespace platform
