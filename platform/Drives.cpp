// Windows-style paths on the host: the drive links of <prefix>/dosdevices in both
// directions, the process's current folder, and the drive types read from the mounted
// file systems.
#include "platform/Drives.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Prefix.h"

namespace platform {

namespace {

// The current folder as a full Windows path ("C:\Data", "C:\"); empty until first needed.
std::string g_currentDir;

std::vector<std::string> SplitComponents(const std::string& path, char sep) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == sep) {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

// Applies "." and ".." to a list of components; ".." never climbs above the root.
std::vector<std::string> Normalise(const std::vector<std::string>& parts) {
    std::vector<std::string> out;
    for (const std::string& p : parts) {
        if (p == ".")
            continue;
        if (p == "..") {
            if (!out.empty())
                out.pop_back();
            continue;
        }
        out.push_back(p);
    }
    return out;
}

std::string Join(const std::vector<std::string>& parts, char sep) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i)
            out += sep;
        out += parts[i];
    }
    return out;
}

bool IsDriveLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

std::string HostCwd() {
    std::vector<char> buf(PATH_MAX);
    if (!getcwd(buf.data(), buf.size()))
        return "/";
    return buf.data();
}

// A full Windows path of `winPath`: drive letter (lower case) and normalised components.
// False for an empty path. UNC paths come back with letter '\\'.
bool FullPath(const std::string& winPath, char& letter, std::vector<std::string>& parts,
              bool& trailingSep) {
    if (winPath.empty())
        return false;
    std::string p = winPath;
    for (char& c : p) {
        if (c == '/')
            c = '\\';
    }
    trailingSep = p.back() == '\\';
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') {
        letter = '\\';
        parts = Normalise(SplitComponents(p.substr(2), '\\'));
        return true;
    }
    std::string rest;
    if (p.size() >= 2 && IsDriveLetter(p[0]) && p[1] == ':') {
        letter = char(std::tolower(static_cast<unsigned char>(p[0])));
        rest = p.substr(2);
        if (rest.empty() || rest[0] != '\\') {
            // "C:a.txt": relative to the current folder when it is on that drive.
            const std::string cur = GetCurrentDirectory();
            const bool sameDrive = std::tolower(static_cast<unsigned char>(cur[0])) == letter;
            rest = (sameDrive ? cur.substr(2) : std::string()) + "\\" + rest;
        }
    } else {
        const std::string cur = GetCurrentDirectory();
        letter = char(std::tolower(static_cast<unsigned char>(cur[0])));
        rest = p[0] == '\\' ? p : cur.substr(2) + "\\" + p;
    }
    parts = Normalise(SplitComponents(rest, '\\'));
    return true;
}

std::string WindowsFromParts(char letter, const std::vector<std::string>& parts) {
    std::string out(1, char(std::toupper(static_cast<unsigned char>(letter))));
    out += ":\\";
    out += Join(parts, '\\');
    return out;
}

// realpath of the longest existing start of an absolute path, with the rest appended.
std::string RealPathLoose(const std::string& absPath) {
    std::vector<std::string> parts = Normalise(SplitComponents(absPath, '/'));
    std::vector<std::string> tail;
    while (true) {
        const std::string head = "/" + Join(parts, '/');
        char* real = realpath(head.c_str(), nullptr);
        if (real) {
            std::string out = real;
            free(real);
            for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
                if (out.back() != '/')
                    out += '/';
                out += *it;
            }
            return out;
        }
        if (parts.empty())
            return absPath;
        tail.push_back(parts.back());
        parts.pop_back();
    }
}

std::string DriveLinkPath(char letter) {
    return DosDevicesDir() + "/" + char(std::tolower(static_cast<unsigned char>(letter))) + ":";
}

// Unescapes the octal escapes (\040) of /proc/self/mountinfo.
std::string UnescapeMount(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out += char(std::stoi(s.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Mount {
    unsigned major = 0, minor = 0;
    std::string point, type, source;
};

bool FindMount(const std::string& path, dev_t dev, Mount& found) {
    std::ifstream in("/proc/self/mountinfo");
    if (!in)
        return false;
    std::string line;
    size_t bestLen = 0;
    bool bestDevMatch = false, any = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string id, parent, majmin, root, point, word;
        fields >> id >> parent >> majmin >> root >> point;
        while (fields >> word && word != "-") {
        }
        Mount m;
        fields >> m.type >> m.source;
        m.point = UnescapeMount(point);
        if (std::sscanf(majmin.c_str(), "%u:%u", &m.major, &m.minor) != 2)
            continue;
        const bool covers = m.point == "/" || path == m.point ||
                            path.compare(0, m.point.size() + 1, m.point + "/") == 0;
        if (!covers)
            continue;
        const bool devMatch = m.major == major(dev) && m.minor == minor(dev);
        // A mount of the file's own device beats any other; among equals the longest mount
        // point, and a later line (mounted over an earlier one) wins a tie.
        if (!any || (devMatch && !bestDevMatch) ||
            (devMatch == bestDevMatch && m.point.size() >= bestLen)) {
            found = m;
            bestLen = m.point.size();
            bestDevMatch = devMatch;
            any = true;
        }
    }
    return any;
}

bool BlockDeviceRemovable(unsigned maj, unsigned min) {
    const std::string dir = "/sys/dev/block/" + std::to_string(maj) + ":" + std::to_string(min);
    for (const std::string& file : {dir + "/removable", dir + "/../removable"}) {
        std::ifstream in(file);
        int value = 0;
        if (in >> value)
            return value == 1;
    }
    return false;
}

DriveType TypeOfMount(const Mount& m) {
    static const char* const kRemote[] = {"nfs",   "nfs4",        "cifs",       "smb3",
                                          "smbfs", "sshfs",       "fuse.sshfs", "afs",
                                          "ceph",  "fuse.davfs2", "ncpfs"};
    for (const char* t : kRemote) {
        if (m.type == t)
            return DRIVE_REMOTE;
    }
    if (m.type == "iso9660" || m.type == "udf")
        return DRIVE_CDROM;
    if (m.type == "tmpfs" || m.type == "ramfs")
        return DRIVE_RAMDISK;
    if (m.source.compare(0, 5, "/dev/") == 0 && BlockDeviceRemovable(m.major, m.minor)) {
        return DRIVE_REMOVABLE;
    }
    return DRIVE_FIXED;
}

// A full path whose components are plain names ("C:\\Data\\a.txt": no "." or "..", no empty
// component, no '/', no trailing separator) maps without being taken apart.
bool IsPlainFullPath(const std::string& p) {
    if (p.size() < 4 || !IsDriveLetter(p[0]) || p[1] != ':' || p[2] != '\\' || p.back() == '\\')
        return false;
    size_t start = 3;  // of the component
    for (size_t i = 3; i <= p.size(); ++i) {
        if (i < p.size() && p[i] == '/')
            return false;
        if (i == p.size() || p[i] == '\\') {
            const size_t n = i - start;
            if (n == 0 || (n == 1 && p[start] == '.') ||
                (n == 2 && p[start] == '.' && p[start + 1] == '.'))
                return false;
            start = i + 1;
        }
    }
    return true;
}

}  // namespace

std::string HostPath(const std::string& winPath) {
    if (IsPlainFullPath(winPath)) {
        std::string host = DosDevicesDir();
        const size_t root = host.size() + 1;
        host += '/';
        host += char(std::tolower(static_cast<unsigned char>(winPath[0])));
        host += ':';
        host.append(winPath, 2, std::string::npos);
        for (size_t i = root + 2; i < host.size(); ++i) {
            if (host[i] == '\\')
                host[i] = '/';
        }
        return host;
    }
    char letter;
    std::vector<std::string> parts;
    bool trailingSep;
    if (!FullPath(winPath, letter, parts, trailingSep))
        return std::string();
    std::string host = DosDevicesDir();
    if (letter == '\\') {
        host += "/unc";
    } else {
        host += "/";
        host += letter;
        host += ':';
    }
    host += '/';
    host += Join(parts, '/');
    if (trailingSep && !parts.empty())
        host += '/';
    return host;
}

std::optional<std::string> WindowsPath(const std::string& hostPath) {
    if (hostPath.empty())
        return std::nullopt;
    const std::string abs = hostPath[0] == '/' ? hostPath : HostCwd() + "/" + hostPath;
    const std::string real = RealPathLoose(abs);

    DIR* dir = opendir(DosDevicesDir().c_str());
    if (!dir)
        return std::nullopt;
    char bestLetter = 0;
    size_t bestLen = 0;
    std::string bestRest;
    while (struct dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() != 2 || name[1] != ':' || !IsDriveLetter(name[0]))
            continue;
        const char letter = char(std::tolower(static_cast<unsigned char>(name[0])));
        char* target = realpath((DosDevicesDir() + "/" + name).c_str(), nullptr);
        if (!target)
            continue;
        const std::string t = target;
        free(target);
        std::string rest;
        if (t == "/") {
            rest = real.substr(1);
        } else if (real == t) {
            rest.clear();
        } else if (real.compare(0, t.size() + 1, t + "/") == 0) {
            rest = real.substr(t.size() + 1);
        } else {
            continue;
        }
        const bool better =
            !bestLetter || t.size() > bestLen || (t.size() == bestLen && letter < bestLetter);
        if (better) {
            bestLetter = letter;
            bestLen = t.size();
            bestRest = rest;
        }
    }
    closedir(dir);
    if (!bestLetter)
        return std::nullopt;
    return WindowsFromParts(bestLetter, SplitComponents(bestRest, '/'));
}

DriveType GetDriveType(const std::string& root) {
    char letter;
    if (root.size() >= 2 && IsDriveLetter(root[0]) && root[1] == ':') {
        letter = root[0];
    } else {
        letter = GetCurrentDirectory()[0];
    }
    struct stat st;
    if (lstat(DriveLinkPath(letter).c_str(), &st) != 0)
        return DRIVE_NO_ROOT_DIR;
    const std::string drive = DriveLinkPath(letter) + "/";
    if (stat(drive.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return DRIVE_NO_ROOT_DIR;
    char* real = realpath(drive.c_str(), nullptr);
    if (!real)
        return DRIVE_NO_ROOT_DIR;
    const std::string path = real;
    free(real);
    Mount m;
    if (!FindMount(path, st.st_dev, m))
        return DRIVE_FIXED;
    return TypeOfMount(m);
}

bool SetCurrentDirectory(const std::string& winPath) {
    char letter;
    std::vector<std::string> parts;
    bool trailingSep;
    if (!FullPath(winPath, letter, parts, trailingSep) || letter == '\\')
        return false;
    const std::string host = HostPath(WindowsFromParts(letter, parts));
    struct stat st;
    if (stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    if (chdir(host.c_str()) != 0)
        return false;
    g_currentDir = WindowsFromParts(letter, parts);
    return true;
}

std::string GetCurrentDirectory() {
    if (g_currentDir.empty()) {
        std::optional<std::string> here = WindowsPath(HostCwd());
        g_currentDir = here ? *here : std::string("C:\\");
    }
    return g_currentDir;
}

}  // namespace platform
