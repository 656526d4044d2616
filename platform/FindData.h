// Directory searches, the stand-in for FindFirstFile/FindNextFile/FindClose, and a file's
// find data. Entries come in a stable order: by name, compared without letter case. The
// attribute word is made from the host: folder 0x10; symbolic link 0x400 (a link to a
// folder 0x410, which a listing never holds); read-only 0x01 when the owner may not write; hidden,
// system, archive and not-content-indexed from the extended attribute user.DOSATTRIB ("0x..");
// compressed 0x800 and encrypted 0x4000 from statx; 0x80 when nothing else is set. Times are
// FILETIMEs: last-write from mtime, last-access from atime, creation from the birth time where the
// file system keeps one (else 0). A link that resolves has the size, times and other
// attributes of what it points to; a dangling link has size 0 and its own times.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

namespace platform {

struct WIN32_FIND_DATA {
    uint32_t dwFileAttributes = 0;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint32_t nFileSizeHigh = 0;
    uint32_t nFileSizeLow = 0;
    std::string cFileName;  // the entry's name, without its folder

    uint64_t Size() const { return (uint64_t(nFileSizeHigh) << 32) | nFileSizeLow; }
};

// A search over one folder. The pattern is a Windows path whose last component may hold
// the wildcards * and ? ("C:\Data\*", "C:\Data\*.txt"), matched without letter case
// ("*.*" is every name). A last component without wildcards ("C:\Data\a.txt") names one
// entry exactly, as opening it does: the host tells names apart by their case.
// "." and ".." are never returned, and a wildcard search lists files, folders and links to
// files only: devices, pipes and sockets are passed over, as a Windows folder has none, and
// so are links to folders and links that lead nowhere (Linux has no junctions; file tools
// pass such links over).
class FindFile {
  public:
    FindFile() = default;
    ~FindFile() { Close(); }
    FindFile(const FindFile&) = delete;
    FindFile& operator=(const FindFile&) = delete;

    // False when nothing matches (or the folder cannot be read).
    bool First(const std::string& pattern, WIN32_FIND_DATA& data);
    bool Next(WIN32_FIND_DATA& data);
    void Close();

  private:
    std::string m_folder;  // host path of the folder, with its trailing slash
    std::vector<std::string> m_names;
    size_t m_next = 0;
    bool m_listing = false;  // a wildcard search
};

// FindFirstFile followed by FindClose on one path: the find data of that file or folder.
// False when it does not exist.
bool GetFindData(const std::string& winPath, WIN32_FIND_DATA& data);

// The attribute word of a host file (the rules above); 0 when it cannot be read.
uint32_t HostAttributes(const std::string& hostPath);

}  // namespace platform
