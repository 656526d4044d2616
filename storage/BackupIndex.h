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
    std::string mode;  // its first character
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

// Whether a copy is encrypted: the readers decrypt when the mode's first letter is "N", so
// the writers encrypt exactly then (the mode field keeps the setting's text as it is).
bool IsEncryptedMode(const std::string& modeText);

// The number of bytes a restore writes from an entry's copy. A plain copy is the file: its
// copy length. An encrypted copy holds the whole file, however large, padded to whole
// blocks, while the plain-size field keeps the low 32 bits of the size: the length is the
// one size no more than 15 bytes below the copy length whose low 32 bits are the field's.
// False when no size fits (the entry cannot describe a copy the program wrote).
bool RestoreLength(const BackupIndexEntry& entry, uint64_t& length);

// Whether a line read back is an entry the program could have written: it ends with its
// line break, its path is not empty, its copy length reads as "123" or "123.45" and its
// plain size as digits, and the two agree (RestoreLength, and a plain copy's length has the
// size field's low 32 bits). `entry` gets what the line holds.
bool BackupEntryIsWhole(const std::string& line, BackupIndexEntry& entry);
