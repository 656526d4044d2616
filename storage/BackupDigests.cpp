// The line of "Backup Digests <n>": its writer and its reader.
#include "storage/BackupDigests.h"

#include "storage/FileRecord.h"

std::string BuildBackupDigestLine(const std::string& path, const std::string& digest) {
    return path + kFieldSeparator + digest + "\n";
}

bool ParseBackupDigestLine(const std::string& line, std::string& path, std::string& digest) {
    const size_t sep = line.find(kFieldSeparator);
    if (line.empty() || line.back() != '\n' || sep == std::string::npos || sep == 0)
        return false;
    path = line.substr(0, sep);
    digest = line.substr(sep + 1, line.size() - sep - 2);
    if (digest.empty())
        return true;
    if (digest.size() != 32)
        return false;
    for (char c : digest)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}
