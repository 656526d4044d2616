// "Backup Index <n>" and "Backup File <n>": the `BackupIndexEntry` line and the `BackupCopy`
// blocks, writer and reader side by side. An entry is path, 0x7F, mode (the Config17 text),
// 0x7F, copy length, 0x7F, plain size ("%lu"), then the line break, with no separator
// after the last field. The copies lie back to back in "Backup File <n>"; a copy's offset
// is the sum of the copy lengths of the lines before its line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/StoredFileNames.h"

// An entry as an add writes it: the copy length "%.2lf", the plain size "%lu". No line break.
std::string BuildBackupIndexLine(const std::string& path, const std::string& mode,
                                 double copyLength, uint32_t plainSize);
// An entry with the copy length given as text (the acceptance writes "%lu" in plain mode).
std::string BuildBackupIndexLine(const std::string& path, const std::string& mode,
                                 const std::string& copyLengthText, uint32_t plainSize);

// One line read back: the plain size is the text after the last 0x7F, the copy length the
// text between the last two, both parsed as floating-point numbers; the mode is the one
// character after the first 0x7F.
struct BackupIndexEntry {
    std::string mode;
    double copyLength = 0;
    double plainSize = 0;
};
bool ParseBackupIndexLine(const std::string& line, BackupIndexEntry& entry);

// The readers' rule: the first line whose text begins with `path` followed by the separator
// (case-sensitive) is the file's entry, so another file whose path merely begins with it is
// never taken; the offset is the sum of the copy lengths of the lines before it.
struct BackupLookup {
    bool found = false;
    size_t line = 0;    // index of the entry's line
    double offset = 0;  // where its copy starts in "Backup File <n>"
    BackupIndexEntry entry;
};
BackupLookup FindBackupEntry(const std::vector<std::string>& lines, const std::string& path);

// The length a copy occupies: 16 x ceil(size / 16) in mode "N", else the size.
double CopyLengthFor(const std::string& mode, uint32_t plainSize);
