// The texts of the list's columns.
#include "gui/RecordColumns.h"

#include <cstdio>

#include "platform/Clock.h"

namespace {
const char* const kTitles[COL_COUNT] = {"Path",         "Digest value", "Size", "Attributes",
                                        "Last written", "Created",      "Type"};
const int kWidths[COL_COUNT] = {380, 260, 100, 90, 150, 150, 200};

uint32_t AttributeWordOf(unsigned char code) {
    if (code >= 0x01 && code <= 0x27 && code != 0x08)
        return code;
    const uint32_t lowBits[8] = {0x00, 0x01, 0x02, 0x03, 0x20, 0x21, 0x22, 0x23};
    if (code >= 'd' && code <= 'k')
        return FILE_ATTRIBUTE_COMPRESSED | lowBits[code - 'd'];
    if (code >= 'l' && code <= 's')
        return FILE_ATTRIBUTE_ENCRYPTED | lowBits[code - 'l'];
    return 0;
}
}  // namespace

const char* RecordColumnTitle(int column) {
    return column >= 0 && column < COL_COUNT ? kTitles[column] : "";
}

int RecordColumnWidth(int column) {
    return column >= 0 && column < COL_COUNT ? kWidths[column] : 100;
}

std::string AttributeLetters(unsigned char code) {
    const uint32_t word = AttributeWordOf(code);
    std::string letters;
    const std::pair<uint32_t, char> bits[] = {
        {FILE_ATTRIBUTE_READONLY, 'R'},   {FILE_ATTRIBUTE_HIDDEN, 'H'},
        {FILE_ATTRIBUTE_SYSTEM, 'S'},     {FILE_ATTRIBUTE_ARCHIVE, 'A'},
        {FILE_ATTRIBUTE_COMPRESSED, 'C'}, {FILE_ATTRIBUTE_ENCRYPTED, 'E'}};
    for (const auto& [bit, letter] : bits) {
        if (word & bit)
            letters += letter;
    }
    return letters;
}

std::string ListTimeText(const FILETIME& time) {
    SYSTEMTIME st;
    if (FileTimeToU64(time) == 0 || !platform::FileTimeToSystemTime(time, st))
        return "";
    char text[40];
    std::snprintf(text, sizeof text, "%02u.%02u.%04u %02u:%02u:%02u", st.wDay, st.wMonth, st.wYear,
                  st.wHour, st.wMinute, st.wSecond);
    return text;
}

std::string RecordColumnText(const FileRecord& record, int column) {
    switch (column) {
        case COL_PATH:
            return record.path;
        case COL_DIGEST:
            return record.digest;
        case COL_SIZE: {
            const size_t start = record.size.find_first_not_of(' ');
            return start == std::string::npos ? std::string() : record.size.substr(start);
        }
        case COL_ATTRIBUTES:
            return AttributeLetters(record.AttributeByte());
        case COL_LAST_WRITE:
            return ListTimeText(record.LastWriteTime());
        case COL_CREATION:
            return ListTimeText(record.CreationTime());
        default:
            return std::string();
    }
}

std::string TypeKeyOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return " ";
    }
    return path.substr(dot + 1);
}
