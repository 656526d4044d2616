// The check's texts: times one hour after UTC, sizes and remaining data with their
// brackets, the attribute texts, the three path lines and the progress dialog's path.
#include "check/CheckTexts.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/Clock.h"

namespace {

constexpr uint64_t kOneHour = 36000000000ULL;  // in 100 ns units
constexpr double kKilo = 1024.0;
constexpr double kMega = 1048576.0;
constexpr double kGiga = 1073741824.0;

// "%.2lf" of a value, of any length.
std::string Fixed2(double value) {
    char small[64];
    int n = std::snprintf(small, sizeof small, "%.2f", value);
    if (n < 0)
        return std::string();
    if (size_t(n) < sizeof small)
        return std::string(small, size_t(n));
    std::string big(size_t(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), "%.2f", value);
    big.resize(size_t(n));
    return big;
}

// "%.2lf" cut at its last '.': the whole number of bytes.
std::string WholeBytes(double value) {
    std::string text = Fixed2(value);
    size_t dot = text.rfind('.');
    if (dot != std::string::npos)
        text.erase(dot);
    return text;
}

// The bracket of a size: " [" + "%.2lf" of the size in KB, MB or GB + " KB]" ..., with
// exclusive bounds; empty at and below 1024 and at the bounds themselves.
std::string Bracket(double bytes) {
    if (bytes > kKilo && bytes < kMega)
        return " [" + Fixed2(bytes / kKilo) + " KB]";
    if (bytes > kMega && bytes < kGiga)
        return " [" + Fixed2(bytes / kMega) + " MB]";
    if (bytes > kGiga)
        return " [" + Fixed2(bytes / kGiga) + " GB]";
    return std::string();
}

std::string FormatCalendar(const SYSTEMTIME& st) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%c%c:%c%c:%c%c   %d.%d.%d", '0' + st.wHour / 10 % 10,
                  '0' + st.wHour % 10, '0' + st.wMinute / 10 % 10, '0' + st.wMinute % 10,
                  '0' + st.wSecond / 10 % 10, '0' + st.wSecond % 10, int(st.wDay), int(st.wMonth),
                  int(st.wYear));
    return buf;
}

struct AttributeRow {
    unsigned char code;  // the recorded code byte
    uint32_t word;       // the current attribute word (compressed and encrypted words also
                         // match with the not-content-indexed bit 0x2000)
    const char* text;
};

const AttributeRow kAttributeRows[] = {
    {0x01, 0x01, "Read only."},
    {0x02, 0x02, "Hidden."},
    {0x03, 0x03, "Read only, Hidden."},
    {0x04, 0x04, "System."},
    {0x05, 0x05, "System, Read only."},
    {0x06, 0x06, "System, Hidden."},
    {0x07, 0x07, "System, Hidden, Read only."},
    {0x20, 0x20, "Archive."},
    {0x21, 0x21, "Read only, Archive."},
    {0x22, 0x22, "Archive, Hidden."},
    {0x23, 0x23, "Archive, Hidden, Read only."},
    {0x24, 0x24, "System, Archive."},
    {0x25, 0x25, "System, Read only, Archive."},
    {0x26, 0x26, "System, Hidden, Archive."},
    {0x27, 0x27, "System, Read only, Archive, Hidden."},
    {'d', 0x800, "Compressed"},
    {'e', 0x801, "Compressed, Read only."},
    {'f', 0x802, "Compressed, Hidden."},
    {'g', 0x803, "Compressed, Read only, Hidden."},
    {'h', 0x820, "Compressed, Archive."},
    {'i', 0x821, "Compressed, Read only, Archive."},
    {'j', 0x822, "Compressed, Archive, Hidden."},
    {'k', 0x823, "Compressed, Archive, Hidden, Read only."},
    {'l', 0x4000, "Encrypted"},
    {'m', 0x4001, "Encrypted, Read only."},
    {'n', 0x4002, "Encrypted, Hidden."},
    {'o', 0x4003, "Encrypted, Read only, Hidden."},
    {'p', 0x4020, "Encrypted, Archive."},
    {'q', 0x4021, "Encrypted, Read only, Archive."},
    {'r', 0x4022, "Encrypted, Archive, Hidden."},
    {'s', 0x4023, "Encrypted, Archive, Hidden, Read only."},
};

}  // namespace

std::string FormatTimeText(const FILETIME& ft, bool indeterminateTest) {
    uint64_t value = FileTimeToU64(ft);
    SYSTEMTIME st;
    if (value > std::numeric_limits<uint64_t>::max() - kOneHour ||
        !platform::FileTimeToSystemTime(U64ToFileTime(value + kOneHour), st)) {
        return "Indeterminate";
    }
    std::string text = FormatCalendar(st);
    if (indeterminateTest && text.size() >= 4 &&
        std::atoi(text.substr(text.size() - 4).c_str()) < 1970) {
        return "Indeterminate";
    }
    return text;
}

std::string FormatTimeText(const SYSTEMTIME& st) {
    FILETIME ft;
    if (!platform::SystemTimeToFileTime(st, ft))
        return "Indeterminate";
    return FormatTimeText(ft, false);
}

std::string FormatSizeText(double bytes) {
    std::string text = WholeBytes(bytes) + " Bytes. ";
    std::string bracket = Bracket(bytes);
    if (!bracket.empty())
        text += bracket + ".";
    return text;
}

std::string RemainingDataText(double bytes) {
    if (bytes < 1)
        return "0 bytes.";
    return WholeBytes(bytes) + " bytes." + Bracket(bytes);
}

std::string AttributeCodeText(unsigned char code) {
    for (const AttributeRow& row : kAttributeRows) {
        if (row.code == code)
            return row.text;
    }
    return std::string();
}

std::string AttributeWordText(uint32_t word) {
    for (const AttributeRow& row : kAttributeRows) {
        if (row.word == word)
            return row.text;
        bool compressedOrEncrypted =
            (row.word & (FILE_ATTRIBUTE_COMPRESSED | FILE_ATTRIBUTE_ENCRYPTED)) != 0;
        if (compressedOrEncrypted && (row.word | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED) == word) {
            return row.text;
        }
    }
    return std::string();
}

void SplitPathLines(const std::string& path, std::string& l1, std::string& l2, std::string& l3) {
    const size_t kLine = 92;
    l1 = path.substr(0, kLine);
    l2 = path.size() > kLine ? path.substr(kLine, kLine) : std::string();
    l3 = path.size() > 2 * kLine ? path.substr(2 * kLine) : std::string();
}

std::string ProgressPathText(const std::string& path) {
    if (path.size() <= 120)
        return path;
    return path.substr(0, 3) + "~..." + path.substr(path.size() - 113);
}
