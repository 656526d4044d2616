// The previously-listed test over a database's plaintext.
#include "add/ListedTest.h"

#include "storage/FileRecord.h"

namespace {
unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
}  // namespace

bool RecordLineHasPath(const std::string& line, const std::string& path) {
    if (line.size() < path.size() + 1)
        return false;
    for (size_t i = 0; i < path.size(); ++i) {
        if (FoldCase(static_cast<unsigned char>(line[i])) !=
            FoldCase(static_cast<unsigned char>(path[i])))
            return false;
    }
    return line[path.size()] == kFieldSeparator;
}

bool IsPathListed(platform::CFile& plain, const std::string& path) {
    std::string line;
    while (plain.ReadLine(line)) {
        if (RecordLineHasPath(line, path))
            return true;
    }
    return false;
}
