// Windows-style paths on a Linux host. A drive letter maps to a host folder through the
// symbolic link <prefix>/dosdevices/<letter>: (by default c: -> <prefix>/drive_c and
// z: -> /); a letter without a link is a drive that does not exist. This file owns the
// mapping in both directions, drive types and the process's current folder.
#pragma once

#include <optional>
#include <string>

namespace platform {

// Host path of a full Windows path ("C:\Data\a.txt" -> "<prefix>/dosdevices/c:/Data/a.txt").
// The kernel follows the drive link, so a missing drive gives ENOENT on use. A path that is
// not a full path ("a.txt", "\x") is taken relative to the current folder
// (SetCurrentDirectory); an empty path gives an empty host path. "." and ".." are applied
// to the path itself and never climb above the drive's root. A network path
// ("\\server\share\x") maps to <prefix>/dosdevices/unc/server/share/x.
std::string HostPath(const std::string& winPath);

// Windows path of a host path: the drive whose link target is the longest prefix of the
// (absolute, normalised) host path; z: covers "/". nullopt when no drive covers it.
std::optional<std::string> WindowsPath(const std::string& hostPath);

// Drive types, as GetDriveType answers them.
enum DriveType {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

// The type of the drive named by the start of `root` ("C:", "C:\", "C:\x").
// A letter without a link is DRIVE_NO_ROOT_DIR.
DriveType GetDriveType(const std::string& root);

// The process's current folder, as a Windows path; used to resolve relative paths.
bool SetCurrentDirectory(const std::string& winPath);
std::string GetCurrentDirectory();

}  // namespace platform
