// The backup index line: its writer, its reader, the readers' lookup of a file's entry and
// the offset of its copy, and the length a copy occupies.
#include "storage/BackupIndex.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "storage/FileRecord.h"

std::string BuildBackupIndexLine(const std::string& path, const std::string& mode,
                                 double copyLength, uint32_t plainSize) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2lf", copyLength);
    return BuildBackupIndexLine(path, mode, std::string(text), plainSize);
}

std::string BuildBackupIndexLine(const std::string& path, const std::string& mode,
                                 const std::string& copyLengthText, uint32_t plainSize) {
    char size[32];
    std::snprintf(size, sizeof size, "%lu", static_cast<unsigned long>(plainSize));
    std::string line = path;
    line += kFieldSeparator;
    line += mode;
    line += kFieldSeparator;
    line += copyLengthText;
    line += kFieldSeparator;
    line += size;
    return line;
}

bool ParseBackupIndexLine(const std::string& line, BackupIndexEntry& entry) {
    entry = BackupIndexEntry();
    size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n')
        --end;
    if (end > 0 && line[end - 1] == '\r')
        --end;
    std::string text = line.substr(0, end);

    size_t first = text.find(kFieldSeparator);
    size_t last = text.rfind(kFieldSeparator);
    if (first == std::string::npos || last == 0)
        return false;
    size_t beforeLast = text.rfind(kFieldSeparator, last - 1);
    // Path, mode, copy length and plain size need three separators.
    if (beforeLast == std::string::npos || beforeLast == first)
        return false;

    entry.mode = text.substr(first + 1, 1);
    entry.copyLength = std::atof(text.substr(beforeLast + 1, last - beforeLast - 1).c_str());
    entry.plainSize = std::atof(text.substr(last + 1).c_str());
    return true;
}

BackupLookup FindBackupEntry(const std::vector<std::string>& lines, const std::string& path) {
    BackupLookup result;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        BackupIndexEntry entry;
        bool parsed = ParseBackupIndexLine(line, entry);
        if (line.size() > path.size() && line.compare(0, path.size(), path) == 0 &&
            line[path.size()] == kFieldSeparator) {
            // The first line whose path field is the path is the entry: the line of
            // "C:\\x.txt.bak" is not an entry of "C:\\x.txt". A damaged one gives no entry
            // rather than a copy read from the wrong place.
            result.found = parsed;
            result.line = i;
            if (parsed)
                result.entry = entry;
            return result;
        }
        if (parsed)
            result.offset += entry.copyLength;
    }
    return result;
}

double CopyLengthFor(const std::string& mode, uint32_t plainSize) {
    if (mode == "N")
        return 16.0 * std::ceil(double(plainSize) / 16.0);
    return double(plainSize);
}
