// Directory searches and find data made from the host: the names of a folder in the order
// NTFS lists them (compared upper-cased, byte order breaking ties), wildcard matching
// without letter case, and the attribute word, size and FILETIMEs of each entry.
// A symbolic link is reported with the link bit and, when it resolves, with the size,
// times and remaining attributes of what it points to (the bytes a digest of it reads);
// a dangling link has only the link bit, size 0 and the link's own times. A listing holds
// files, folders and links to files only.
#include "platform/FindData.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/Clock.h"
#include "platform/Drives.h"

namespace platform {

namespace {

constexpr uint32_t kDosAttributeMask = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                       FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

unsigned char Upper(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x80 ? static_cast<unsigned char>(std::toupper(u)) : u;
}

bool NameLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Upper(a[i]), y = Upper(b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

bool HasWildcards(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

// Wildcard match without letter case: '*' any run, '?' any one character.
bool Matches(const char* pattern, const char* name) {
    const char* starP = nullptr;
    const char* starN = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starP = ++pattern;
            starN = name;
        } else if (*pattern == '?' || (*pattern && Upper(*pattern) == Upper(*name))) {
            ++pattern;
            ++name;
        } else if (starP) {
            pattern = starP;
            name = ++starN;
        } else {
            return false;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == '\0';
}

// The DOS attributes kept in user.DOSATTRIB: the text "0x.." at its start.
uint32_t DosAttributes(const std::string& hostPath) {
    char buf[256];
    const ssize_t len = getxattr(hostPath.c_str(), "user.DOSATTRIB", buf, sizeof buf - 1);
    if (len < 3)
        return 0;
    buf[len] = '\0';
    if (buf[0] != '0' || (buf[1] != 'x' && buf[1] != 'X'))
        return 0;
    return uint32_t(std::strtoul(buf + 2, nullptr, 16)) & kDosAttributeMask;
}

FILETIME FromStatx(const struct statx_timestamp& t) {
    struct timespec ts;
    ts.tv_sec = t.tv_sec;
    ts.tv_nsec = t.tv_nsec;
    return FileTimeFromUnix(ts);
}

bool IsSpecialType(unsigned char type) {
    return type == DT_CHR || type == DT_BLK || type == DT_FIFO || type == DT_SOCK;
}

bool IsSpecialMode(uint32_t mode) {
    return S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode);
}

// `unlisted`, when given, tells whether a listing passes the entry over: a device, a pipe or
// a socket, and a symbolic link that names no file (a folder, one of those, or nothing at all).
bool FillFromHost(const std::string& hostPath, WIN32_FIND_DATA& data, bool* unlisted = nullptr) {
    struct statx own, target;
    const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
    if (statx(AT_FDCWD, hostPath.c_str(), AT_SYMLINK_NOFOLLOW, mask, &own) != 0)
        return false;
    uint32_t attrs = 0;
    const struct statx* st = &own;
    bool resolved = true;
    if (S_ISLNK(own.stx_mode)) {
        attrs |= FILE_ATTRIBUTE_REPARSE_POINT;
        resolved = statx(AT_FDCWD, hostPath.c_str(), 0, mask, &target) == 0;
        if (resolved)
            st = &target;
    }
    if (unlisted)
        *unlisted =
            IsSpecialMode(st->stx_mode) || (st != &own && S_ISDIR(st->stx_mode)) || !resolved;
    uint64_t size = 0;
    if (resolved) {
        if (S_ISDIR(st->stx_mode)) {
            attrs |= FILE_ATTRIBUTE_DIRECTORY;
        } else {
            size = st->stx_size;
        }
        if (!(st->stx_mode & S_IWUSR))
            attrs |= FILE_ATTRIBUTE_READONLY;
        attrs |= DosAttributes(hostPath);
        if (st->stx_attributes_mask & st->stx_attributes & STATX_ATTR_COMPRESSED) {
            attrs |= FILE_ATTRIBUTE_COMPRESSED;
        }
        if (st->stx_attributes_mask & st->stx_attributes & STATX_ATTR_ENCRYPTED) {
            attrs |= FILE_ATTRIBUTE_ENCRYPTED;
        }
    }
    data.dwFileAttributes = attrs ? attrs : FILE_ATTRIBUTE_NORMAL;
    data.nFileSizeHigh = uint32_t(size >> 32);
    data.nFileSizeLow = uint32_t(size);
    data.ftLastWriteTime = FromStatx(st->stx_mtime);
    data.ftLastAccessTime = FromStatx(st->stx_atime);
    // Without a birth time the creation time is 0: unknown, never a guess.
    data.ftCreationTime = (st->stx_mask & STATX_BTIME) ? FromStatx(st->stx_btime) : FILETIME();
    return true;
}

// Splits a search pattern into its folder (with the trailing backslash) and last part.
void SplitPattern(const std::string& pattern, std::string& folder, std::string& last) {
    const size_t sep = pattern.find_last_of("\\/");
    if (sep != std::string::npos) {
        folder = pattern.substr(0, sep + 1);
        last = pattern.substr(sep + 1);
    } else if (pattern.size() >= 2 && pattern[1] == ':') {
        folder = pattern.substr(0, 2);
        last = pattern.substr(2);
    } else {
        folder.clear();
        last = pattern;
    }
}

// Host folder of a pattern's folder part ("" stands for the current folder).
std::string HostFolder(const std::string& folder) {
    std::string host = HostPath(folder.empty() ? std::string(".") : folder);
    if (!host.empty() && host.back() != '/')
        host += '/';
    return host;
}

}  // namespace

bool FindFile::First(const std::string& pattern, WIN32_FIND_DATA& data) {
    Close();
    std::string folder, last;
    SplitPattern(pattern, folder, last);
    if (last.empty())
        return false;
    m_folder = HostFolder(folder);
    if (m_folder.empty())
        return false;
    const std::string& hostDir = m_folder;

    if (!HasWildcards(last)) {
        struct stat st;
        if (last == "." || last == ".." || lstat((hostDir + last).c_str(), &st) != 0)
            return false;
        m_names.push_back(last);
        return Next(data);
    }
    m_listing = true;
    const std::string match = last == "*.*" ? std::string("*") : last;
    DIR* dir = opendir(hostDir.c_str());
    if (!dir)
        return false;
    while (struct dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        // A Windows folder holds files, folders and links only: devices, pipes and sockets
        // are not listed (where the type is not told here, Next passes over them).
        if (IsSpecialType(e->d_type))
            continue;
        if (Matches(match.c_str(), name.c_str()))
            m_names.push_back(name);
    }
    closedir(dir);
    std::sort(m_names.begin(), m_names.end(), NameLess);
    return Next(data);
}

bool FindFile::Next(WIN32_FIND_DATA& data) {
    while (m_next < m_names.size()) {
        const std::string& name = m_names[m_next++];
        // An entry removed since the folder was read is passed over.
        bool unlisted = false;
        if (FillFromHost(m_folder + name, data, &unlisted) && !(unlisted && m_listing)) {
            data.cFileName = name;
            return true;
        }
    }
    return false;
}

void FindFile::Close() {
    m_listing = false;
    m_folder.clear();
    m_names.clear();
    m_next = 0;
}

bool GetFindData(const std::string& winPath, WIN32_FIND_DATA& data) {
    FindFile find;
    return find.First(winPath, data);
}

uint32_t HostAttributes(const std::string& hostPath) {
    WIN32_FIND_DATA data;
    return FillFromHost(hostPath, data) ? data.dwFileAttributes : 0;
}

}  // namespace platform
