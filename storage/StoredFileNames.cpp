// The names of the stored and temporary files.
#include "storage/StoredFileNames.h"

#include "storage/Md5.h"

namespace {
constexpr size_t kNameMax = 255;  // bytes of one path component
}

std::string DatabaseIndexPath(const std::string& backupDir) {
    return backupDir + "Database Index";
}

std::string BackupIndexPath(const std::string& backupDir, const std::string& n) {
    return backupDir + "Backup Index " + n;
}

std::string BackupFilePath(const std::string& backupDir, const std::string& n) {
    return backupDir + "Backup File " + n;
}

std::string BackupDigestsPath(const std::string& backupDir, const std::string& n) {
    return backupDir + "Backup Digests " + n;
}

std::string CheckingSchedulePath(const std::string& scheduleDir) {
    return scheduleDir + "Database Checking Schedule";
}

std::string FitName(const std::string& path, const std::string& suffix) {
    const size_t slash = path.rfind('\\');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    const size_t nameLength = path.size() - start;
    if (nameLength + suffix.size() <= kNameMax)
        return path + suffix;
    // The name's first bytes, "~", and 16 hex digits of the whole name's digest.
    uint8_t digest[16];
    DigestText(path.substr(start), digest);
    const std::string mark = "~" + DigestHex(digest).substr(0, 16);
    const size_t keep = kNameMax - suffix.size() - mark.size();
    return path.substr(0, start + keep) + mark + suffix;
}

std::string StagedPath(const std::string& storedPath) {
    return FitName(storedPath, kStagedSuffix);
}

std::string RestoreCipherPath(const std::string& file) {
    return FitName(file, ".Ntemp");
}

std::string RestorePlainPath(const std::string& file) {
    return FitName(file, ".Ptemp");
}

std::string RestoredPath(const std::string& file) {
    return FitName(file, ".987654321z");
}

std::string CopyTempPath(const std::string& target) {
    return FitName(target, ".copy~");
}

std::string ChangedFilePath(const std::string& folder, const std::string& name, int number) {
    return FitName(folder + name, ".CHANGED" + (number > 0 ? std::to_string(number) : ""));
}

std::string DatabaseWorkCopyPath(const std::string& databasePath) {
    return FitName(databasePath, ".123456789z");
}

std::string DatabaseRewritePath(const std::string& databasePath) {
    return FitName(databasePath, ".123456789z1");
}

std::string DatabaseIndexWorkPath(const std::string& backupDir) {
    return DatabaseIndexPath(backupDir) + kIndexCopySuffix;
}

std::string DatabaseIndexRewritePath(const std::string& backupDir) {
    return DatabaseIndexPath(backupDir) + "1";
}
