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

bool IsEncryptedMode(const std::string& modeText) {
    return !modeText.empty() && modeText[0] == 'N';
}

bool RestoreLength(const BackupIndexEntry& entry, uint64_t& length) {
    if (entry.copyLength < 0 || entry.plainSize < 0 || entry.plainSize > 4294967295.0)
        return false;
    const uint64_t copy = uint64_t(entry.copyLength);
    const uint32_t field = uint32_t(entry.plainSize);
    if (double(copy) != entry.copyLength || double(field) != entry.plainSize)
        return false;  // whole bytes only
    if (!IsEncryptedMode(entry.mode)) {
        length = copy;
        return uint32_t(copy) == field;
    }
    if (copy % 16 != 0)
        return false;
    if (copy == 0) {
        length = 0;
        return field == 0;
    }
    for (uint64_t size = copy; size + 16 > copy; --size) {
        if (uint32_t(size) == field) {
            length = size;
            return true;
        }
    }
    return false;
}

namespace {

bool AllDigits(const std::string& text, size_t from, size_t to) {
    if (from >= to)
        return false;
    for (size_t i = from; i < to; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

}  // namespace

bool BackupEntryIsWhole(const std::string& line, BackupIndexEntry& entry) {
    if (line.empty() || line.back() != '\n' || !ParseBackupIndexLine(line, entry))
        return false;
    size_t end = line.size() - 1;
    if (end > 0 && line[end - 1] == '\r')
        --end;
    const size_t first = line.find(kFieldSeparator);
    const size_t last = line.rfind(kFieldSeparator, end);
    const size_t beforeLast = line.rfind(kFieldSeparator, last - 1);
    const size_t point = line.find('.', beforeLast + 1);
    const bool lengthReads =
        point < last ? AllDigits(line, beforeLast + 1, point) && AllDigits(line, point + 1, last)
                     : AllDigits(line, beforeLast + 1, last);
    uint64_t length = 0;
    return first > 0 && lengthReads && AllDigits(line, last + 1, end) &&
           RestoreLength(entry, length);
}
