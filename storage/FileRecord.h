// The database record line (`FileRecord`) and the one-byte `AttributeCode`: the format's
// writer and reader side by side. A line is eight fields, each followed by the byte 0x7F
// (the last one too), then the line break: path, digest (32 lower-case hex characters),
// size, attribute code, last-write high, last-write low, creation high, creation low
// (each half "%ld", a signed 32-bit value). Fields are kept as the texts the line holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/WinTypes.h"

constexpr char kFieldSeparator = '\x7f';

struct FileRecord {
    std::string path;
    std::string digest;
    std::string size;        // 12 characters when added; no leading blanks after an acceptance
    std::string attributes;  // one byte, the AttributeCode
    std::string lastWriteHigh, lastWriteLow, creationHigh, creationLow;

    double SizeValue() const;  // the size field parsed with "%lf"
    unsigned char AttributeByte() const;
    FILETIME LastWriteTime() const;  // the "%ld" halves parsed back to their 32 bits
    FILETIME CreationTime() const;
};

// The attribute code of an attribute word (0 counts as 0x08; a code byte that would be
// 0x00, 0x0A, 0x0D or 0x7F is stored as 0x08 so the line stays whole).
unsigned char AttributeCode(uint32_t attributeWord);

// The size field written by an add: "%14.1lf" of the low size word cut at its '.',
// exactly 12 characters.
std::string FormatAddedSizeField(uint32_t sizeLow);
// "%ld" of a 32-bit half.
std::string FormatTimeHalf(uint32_t half);

// A record from the file's present state, with the given size text.
FileRecord MakeFileRecord(const std::string& path, const std::string& digest,
                          const std::string& sizeText, uint32_t attributeWord,
                          const FILETIME& lastWrite, const FILETIME& creation);

// The line without its line break: every field followed by 0x7F.
std::string BuildFileRecordLine(const FileRecord& record);
// Reads a line (its "\r\n" or "\n" may be present) into the record, every field as far as
// the line holds it (the missing ones empty). False when it has fewer than eight separators.
bool ParseFileRecordLine(const std::string& line, FileRecord& record);

// A path can be recorded only when no byte of it would break the line apart: 0x7F, CR, LF
// or NUL. The text shown when it cannot.
bool IsRecordablePath(const std::string& path);
std::string UnrecordablePathMessage(const std::string& path);

// Splits a line at every 0x7F (a trailing line break is dropped first); the text after the
// last separator is the last element.
void SplitFields(const std::string& line, std::vector<std::string>& fields);
