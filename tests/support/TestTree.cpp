// The walk tests' tree builders.
#include "tests/support/TestTree.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "platform/Prefix.h"
#include "tests/support/TempPrefix.h"

void MakeTestFolder(const TempPrefix& prefix, const std::string& winPath) {
    std::error_code ec;
    std::filesystem::create_directories(prefix.Host(winPath), ec);
    if (ec)
        throw std::runtime_error("cannot make the folder " + winPath);
}

void MakeTestFiles(const TempPrefix& prefix, const std::vector<std::string>& winPaths,
                   const std::string& bytes) {
    for (const std::string& path : winPaths) prefix.WriteFile(path, bytes);
}

void SetDosAttributes(const TempPrefix& prefix, const std::string& winPath, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    if (setxattr(prefix.Host(winPath).c_str(), "user.DOSATTRIB", text, std::strlen(text), 0) != 0)
        throw std::runtime_error("cannot set the DOS attributes of " + winPath);
}

void MakeReadOnly(const TempPrefix& prefix, const std::string& winPath) {
    if (chmod(prefix.Host(winPath).c_str(), 0444) != 0)
        throw std::runtime_error("cannot make " + winPath + " read-only");
}

void MakeLink(const TempPrefix& prefix, const std::string& winPath, const std::string& target) {
    if (symlink(target.c_str(), prefix.Host(winPath).c_str()) != 0)
        throw std::runtime_error("cannot make the link " + winPath);
}

void MakeTestDrive(TempPrefix& prefix, char letter) {
    const std::string folder = prefix.root + "/" + std::string(1, letter);
    std::filesystem::create_directories(folder);
    if (!platform::SetDriveLink(letter, folder))
        throw std::runtime_error("cannot link the drive");
}
