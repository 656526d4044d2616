// What the storage's commit rule needs of the file system beyond streams: cutting a file
// back, forcing a file or a folder's entries to the disk, telling a symbolic link from the
// file it names, and carrying a file's permission bits, owner and group over to another.
// All take Windows-style paths; none raises.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Sets the file's length; false when it cannot. A link is never followed.
bool TruncateFile(const std::string& winPath, int64_t length);
// The file's length without following a link; -1 when it has none (missing, or a folder).
int64_t FileLength(const std::string& winPath);
// Whether the name is a symbolic link (whatever it points at, dangling included).
bool IsSymbolicLink(const std::string& winPath);
// Forces the file's data, or the entries of the folder that holds it, to the disk.
bool SyncFile(const std::string& winPath);
bool SyncFolderOf(const std::string& winPath);
// Gives the open file `fd` the permission bits of `model` and, where the process may, its
// owner and group. False when `model` cannot be read.
bool TakeModeAndOwner(int fd, const std::string& model);
// Whether the open file `fd` is a regular file with exactly one name, owned by this
// process's user: a file the program made itself, which a wipe may overwrite. A name that
// is a second link to another file, or a file of someone else, is never written through.
bool IsOwnSingleLinkFile(int fd);
// Whether the name still names the open file `fd` (not a file or link put in its place).
bool NamesOpenFile(const std::string& winPath, int fd);
// The folder part of a path, up to and including its last backslash ("" when none).
std::string FolderOf(const std::string& winPath);

}  // namespace platform

// ---- host files of the prefix (the program's own notes; no drive letters) ----
namespace platform {

// Writes the whole file in one step: a temporary beside it, synced, renamed over it, and
// the folder synced. The folder is made (0700) when missing. False on any failure (the
// old file then stays as it was).
bool WriteHostFileAtomically(const std::string& hostPath, const std::string& bytes);
// The whole file, never read through a link; false when it cannot be read (errno then
// tells why).
bool ReadHostFile(const std::string& hostPath, std::string& bytes);
// Removes the file and syncs its folder; true when it is gone.
bool RemoveHostFile(const std::string& hostPath);
// Forces the entries of a host folder to the disk; the host folder that holds a host path.
bool SyncHostFolder(const std::string& hostDir);
std::string HostFolderOf(const std::string& hostPath);
// The names in a host folder that begin with `prefix` (sorted).
std::vector<std::string> ListHostFolder(const std::string& hostDir, const std::string& prefix);

}  // namespace platform
