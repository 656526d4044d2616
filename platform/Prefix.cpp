// Where the program's own state lives (the prefix) and the first start's work on it: the
// drive links, the install folder with its three folders and the registry's default values.
#include "platform/Prefix.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "platform/Drives.h"
#include "platform/Registry.h"

namespace platform {

namespace {

std::string g_prefix;  // empty until first asked for or set

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The prefix as an absolute path, resolved once against the current folder: commands change
// the current folder (the backup step does), and a relative prefix would then name another
// place. Without a current folder to resolve against, the path stays as given.
std::string AbsolutePrefix(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return StripTrailingSlashes(path);
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec)
        return StripTrailingSlashes(path);
    return StripTrailingSlashes(absolute.lexically_normal().string());
}

std::string DefaultPrefix() {
    const char* explicitPrefix = std::getenv("QUILLSTEAD_PREFIX");
    if (explicitPrefix && *explicitPrefix)
        return explicitPrefix;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return std::string(dataHome) + "/quillstead";
    const char* home = std::getenv("HOME");
    std::string homeDir = home && *home ? home : "";
    if (homeDir.empty()) {
        if (const struct passwd* pw = getpwuid(getuid()))
            homeDir = pw->pw_dir;
    }
    return homeDir + "/.local/share/quillstead";
}

// mkdir -p, each new folder its owner's alone; true when the folder exists afterwards.
bool MakeFolders(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode))
            errno = ENOTDIR;
        return S_ISDIR(st.st_mode);
    }
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) {
        return false;
    }
    return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

void MakeLinkIfMissing(const std::string& link, const std::string& target) {
    struct stat st;
    if (lstat(link.c_str(), &st) == 0)
        return;
    if (symlink(target.c_str(), link.c_str()) != 0 && errno != EEXIST) {
        throw std::runtime_error("Cannot make the drive link " + link + ": " +
                                 std::strerror(errno));
    }
}

// The settings' values on a first start, in the order they are written.
const std::pair<const char*, const char*> kDefaultValues[] = {
    {"Install Directory", "C:\\Program Files\\Quillstead\\"},
    {"Backup\\Backup Files Directory", "C:\\Program Files\\Quillstead\\Backup Files\\"},
    {"Changed Files Directory", "C:\\Program Files\\Quillstead\\Changed Files\\"},
    {"Checking Schedule Directory", "C:\\Program Files\\Quillstead\\Checking Schedule\\"},
    {"Config1", "~"},
    {"Config2", "1"},
    {"Config3", "C:\\Program Files\\Quillstead\\Backup Databases\\"},
    {"Config4", "1"},
    {"Config5", "1"},
    {"Config8", "1"},
    {"Config9", "0"},
    {"Config10", "0"},
    {"Config11", "P"},
    {"Config12", "0"},
    {"Config13", "0"},
    {"Config14", ""},
    {"Config17", "N"},
};

}  // namespace

std::string PrefixRoot() {
    if (g_prefix.empty())
        g_prefix = AbsolutePrefix(DefaultPrefix());
    return g_prefix;
}

void SetPrefixRoot(const std::string& hostDir) {
    g_prefix = AbsolutePrefix(hostDir);
}

bool MakePrefixFolder() {
    return MakeFolders(PrefixRoot());
}

std::string RegistryFilePath() {
    return PrefixRoot() + "/user.reg";
}

std::string DosDevicesDir() {
    return PrefixRoot() + "/dosdevices";
}

void FirstStartSetup() {
    const std::string root = PrefixRoot();
    for (const std::string& dir : {root, DosDevicesDir(), root + "/drive_c"}) {
        if (!MakeFolders(dir)) {
            throw std::runtime_error("Cannot make the folder " + dir + ": " + std::strerror(errno));
        }
    }
    // c: is relative, so the prefix may be moved as a whole.
    MakeLinkIfMissing(DosDevicesDir() + "/c:", "../drive_c");
    MakeLinkIfMissing(DosDevicesDir() + "/z:", "/");

    RegistryValues defaults;
    for (const auto& v : kDefaultValues) defaults.Set(v.first, v.second);
    // A damaged file is left as it is: the start-up says what is wrong with it.
    if (RegistryDamage().empty() && !RegWriteMissingValues(defaults)) {
        throw std::runtime_error("Cannot write the default settings into " + RegistryFilePath() +
                                 " (the file cannot be read or replaced).");
    }

    const std::string install = "C:\\Program Files\\Quillstead\\";
    for (const char* sub : {"", "Backup Files", "Changed Files", "Checking Schedule"}) {
        const std::string host = HostPath(install + sub);
        if (!MakeFolders(StripTrailingSlashes(host))) {
            throw std::runtime_error("Cannot make the folder " + host + ": " +
                                     std::strerror(errno));
        }
    }
}

bool SetDriveLink(char letter, const std::string& hostDir) {
    if (!std::isalpha(static_cast<unsigned char>(letter)) || hostDir.empty())
        return false;
    if (!MakeFolders(DosDevicesDir()))
        return false;
    const std::string link =
        DosDevicesDir() + "/" + char(std::tolower(static_cast<unsigned char>(letter))) + ":";
    // Made beside the link and renamed over it, so the drive is never missing meanwhile.
    const std::string temp = link + ".new" + std::to_string(getpid());
    unlink(temp.c_str());
    if (symlink(hostDir.c_str(), temp.c_str()) != 0)
        return false;
    if (rename(temp.c_str(), link.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
