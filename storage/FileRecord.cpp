// The database record line: the attribute code, the size and time fields as an add writes
// them, the line's writer and reader, and the test of a path the line can hold.
#include "storage/FileRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The line without its trailing "\n" or "\r\n".
std::string WithoutLineBreak(const std::string& line) {
    size_t end = line.size();
    if (end > 0 && line[end - 1] == '\n')
        --end;
    if (end > 0 && line[end - 1] == '\r')
        --end;
    return line.substr(0, end);
}

// A "%ld" half read back as its 32 bits (a negative text is a half with its top bit set).
uint32_t ParseTimeHalf(const std::string& text) {
    return uint32_t(std::strtoll(text.c_str(), nullptr, 10));
}

}  // namespace

double FileRecord::SizeValue() const {
    double value = 0;
    if (std::sscanf(size.c_str(), "%lf", &value) != 1)
        return 0;
    return value;
}

unsigned char FileRecord::AttributeByte() const {
    return attributes.empty() ? 0 : static_cast<unsigned char>(attributes[0]);
}

FILETIME FileRecord::LastWriteTime() const {
    FILETIME ft;
    ft.dwHighDateTime = ParseTimeHalf(lastWriteHigh);
    ft.dwLowDateTime = ParseTimeHalf(lastWriteLow);
    return ft;
}

FILETIME FileRecord::CreationTime() const {
    FILETIME ft;
    ft.dwHighDateTime = ParseTimeHalf(creationHigh);
    ft.dwLowDateTime = ParseTimeHalf(creationLow);
    return ft;
}

unsigned char AttributeCode(uint32_t attributeWord) {
    uint32_t a = attributeWord == 0 ? 0x08 : attributeWord;
    if (a > 0x100) {
        // Compressed or encrypted with any of read-only, hidden and archive, with or without
        // not-content-indexed: the letters 'd' to 'k' and 'l' to 's'.
        uint32_t rest = a & ~uint32_t(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        uint32_t kind = rest & ~uint32_t(0x23);
        if (kind == FILE_ATTRIBUTE_COMPRESSED || kind == FILE_ATTRIBUTE_ENCRYPTED) {
            unsigned index = (rest & 0x03) + ((rest & 0x20) ? 4 : 0);
            char first = kind == FILE_ATTRIBUTE_COMPRESSED ? 'd' : 'l';
            return static_cast<unsigned char>(first + index);
        }
    }
    unsigned char code = static_cast<unsigned char>(a & 0xFF);
    // A zero byte would end the line's text early, a line feed or carriage return would break
    // the line and 0x7F would split its fields: such words share the code of 0.
    const bool breaksTheLine = code == 0x00 || code == 0x0A || code == 0x0D || code == 0x7F;
    return breaksTheLine ? 0x08 : code;
}

std::string FormatAddedSizeField(uint32_t sizeLow) {
    char text[32];
    std::snprintf(text, sizeof text, "%14.1lf", double(sizeLow));
    std::string field(text);
    size_t dot = field.rfind('.');
    if (dot != std::string::npos)
        field.erase(dot);
    return field;
}

std::string FormatTimeHalf(uint32_t half) {
    char text[16];
    std::snprintf(text, sizeof text, "%ld", long(int32_t(half)));
    return text;
}

FileRecord MakeFileRecord(const std::string& path, const std::string& digest,
                          const std::string& sizeText, uint32_t attributeWord,
                          const FILETIME& lastWrite, const FILETIME& creation) {
    FileRecord r;
    r.path = path;
    r.digest = digest;
    r.size = sizeText;
    r.attributes = std::string(1, static_cast<char>(AttributeCode(attributeWord)));
    r.lastWriteHigh = FormatTimeHalf(lastWrite.dwHighDateTime);
    r.lastWriteLow = FormatTimeHalf(lastWrite.dwLowDateTime);
    r.creationHigh = FormatTimeHalf(creation.dwHighDateTime);
    r.creationLow = FormatTimeHalf(creation.dwLowDateTime);
    return r;
}

std::string BuildFileRecordLine(const FileRecord& r) {
    std::string line;
    for (const std::string* field : {&r.path, &r.digest, &r.size, &r.attributes, &r.lastWriteHigh,
                                     &r.lastWriteLow, &r.creationHigh, &r.creationLow}) {
        line += *field;
        line += kFieldSeparator;
    }
    return line;
}

bool ParseFileRecordLine(const std::string& line, FileRecord& record) {
    std::vector<std::string> fields;
    SplitFields(line, fields);
    const bool whole = fields.size() >= 9;  // eight separators at least
    fields.resize(std::max<size_t>(fields.size(), 8));
    record.path = fields[0];
    record.digest = fields[1];
    record.size = fields[2];
    record.attributes = fields[3];
    record.lastWriteHigh = fields[4];
    record.lastWriteLow = fields[5];
    record.creationHigh = fields[6];
    record.creationLow = fields[7];
    return whole;
}

bool IsRecordablePath(const std::string& path) {
    for (char c : path) {
        if (c == kFieldSeparator || c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}

std::string UnrecordablePathMessage(const std::string& path) {
    return path + " cannot be recorded: its name holds a line break, a zero byte or the byte 0x7F.";
}

void SplitFields(const std::string& line, std::vector<std::string>& fields) {
    fields.clear();
    std::string text = WithoutLineBreak(line);
    size_t start = 0;
    for (;;) {
        size_t sep = text.find(kFieldSeparator, start);
        if (sep == std::string::npos) {
            fields.push_back(text.substr(start));
            return;
        }
        fields.push_back(text.substr(start, sep - start));
        start = sep + 1;
    }
}
