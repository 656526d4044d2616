// The "Database Index" line: its writer, the field readers, the two rewrites (a new digest,
// the last-checked time) and the test that a decrypted index holds well-formed lines.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "storage/DatabaseIndex.h"
#include "storage/FileRecord.h"

namespace {

// Positions of the line's separators, at most `limit` of them.
std::vector<size_t> Separators(const std::string& line, size_t limit) {
    std::vector<size_t> at;
    for (size_t pos = line.find(kFieldSeparator); pos != std::string::npos && at.size() < limit;
         pos = line.find(kFieldSeparator, pos + 1)) {
        at.push_back(pos);
    }
    return at;
}

bool AllDigits(const std::string& text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// A line's well-formedness: five separators at least and a decimal backup number.
bool LineIsWellFormed(const std::string& line) {
    std::string number;
    return Separators(line, 5).size() == 5 && IndexField(line, 2, number) && AllDigits(number);
}

}  // namespace

std::string BuildDatabaseIndexLine(const std::string& databasePath, unsigned backupNumber,
                                   const FILETIME& created, const std::string& digest) {
    char number[16];
    std::snprintf(number, sizeof number, "%u", backupNumber);
    std::string line;
    for (const std::string& field :
         {databasePath, std::string(number), FormatTimeHalf(created.dwHighDateTime),
          FormatTimeHalf(created.dwLowDateTime), digest}) {
        line += field;
        line += kFieldSeparator;
    }
    return line;
}

bool IndexLineBelongsTo(const std::string& line, const std::string& databasePath) {
    return line.size() > databasePath.size() &&
           line.compare(0, databasePath.size(), databasePath) == 0 &&
           line[databasePath.size()] == kFieldSeparator;
}

bool IndexField(const std::string& line, int k, std::string& field) {
    if (k < 1)
        return false;
    std::vector<size_t> at = Separators(line, size_t(k));
    if (at.size() < size_t(k))
        return false;
    size_t start = k == 1 ? 0 : at[size_t(k) - 2] + 1;
    field = line.substr(start, at[size_t(k) - 1] - start);
    return true;
}

std::string WithIndexDigest(const std::string& line, const std::string& digest) {
    std::vector<size_t> at = Separators(line, 5);
    if (at.size() < 5)
        return line;  // no fifth field to replace: the line stays as it is
    return line.substr(0, at[3] + 1) + digest + line.substr(at[4]);
}

std::string WithLastChecked(const std::string& line, const FILETIME& checked) {
    std::vector<size_t> at = Separators(line, 5);
    if (at.size() < 5)
        return line;  // not a complete line: left as it is
    std::string out = line.substr(0, at[4] + 1);
    out += kFieldSeparator;
    out += FormatTimeHalf(checked.dwHighDateTime);
    out += kFieldSeparator;
    out += FormatTimeHalf(checked.dwLowDateTime);
    out += kFieldSeparator;
    out += '\n';
    return out;
}

bool IndexLastChecked(const std::string& line, FILETIME& checked) {
    checked = FILETIME();
    if (Separators(line, 6).size() < 6)
        return false;
    std::string high, low;
    if (IndexField(line, 7, high))
        checked.dwHighDateTime = uint32_t(std::strtoll(high.c_str(), nullptr, 10));
    if (IndexField(line, 8, low))
        checked.dwLowDateTime = uint32_t(std::strtoll(low.c_str(), nullptr, 10));
    return true;
}

bool IndexTextIsWellFormed(const std::string& plain) {
    size_t start = 0;
    while (start < plain.size()) {
        size_t end = plain.find('\n', start);
        size_t next = end == std::string::npos ? plain.size() : end + 1;
        if (!LineIsWellFormed(plain.substr(start, next - start)))
            return false;
        start = next;
    }
    return true;
}
