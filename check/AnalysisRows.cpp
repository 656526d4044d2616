// The analysis rows' texts and marks.
#include "check/AnalysisRows.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace {

bool Printable(uint8_t byte) {
    return byte >= 0x20 && byte <= 0x7E;
}

// The character a byte shows as in the "ASCII" text.
struct ShownTable {
    uint8_t shown[256];
    ShownTable() {
        for (int b = 0; b < 256; ++b) shown[b] = Printable(uint8_t(b)) ? uint8_t(b) : '.';
    }
};
const ShownTable kShown;

}  // namespace

std::string AnalysisOffsetText(uint64_t offset, bool hex) {
    char text[24];
    std::snprintf(text, sizeof text, hex ? "%" PRIX64 : "%" PRIu64, offset);
    return text;
}

std::string AnalysisAsciiText(const uint8_t* bytes, size_t length) {
    std::string text(length, '.');
    for (size_t i = 0; i < length; ++i) text[i] = char(kShown.shown[bytes[i]]);
    return text;
}

std::string AnalysisHexText(const uint8_t* bytes, size_t length) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(length * 3, ' ');
    for (size_t i = 0; i < length; ++i) {
        text[3 * i] = kDigits[bytes[i] >> 4];
        text[3 * i + 1] = kDigits[bytes[i] & 0x0F];
    }
    return text;
}

uint64_t AnalysisRowCount(uint64_t shown, size_t rowBytes, bool endedAtLimit) {
    if (endedAtLimit && shown > 0)
        return (shown + rowBytes - 1) / rowBytes;
    return shown / rowBytes + 1;
}

bool SameAnalysisRow(const uint8_t* now, size_t nowLength, const uint8_t* backup,
                     size_t backupLength, bool hex) {
    if (nowLength != backupLength)
        return false;
    if (nowLength == 0 || std::memcmp(now, backup, nowLength) == 0)
        return true;
    if (hex)
        return false;
    for (size_t i = 0; i < nowLength; ++i) {
        if (kShown.shown[now[i]] != kShown.shown[backup[i]])
            return false;
    }
    return true;
}

void RowMarks::Clear() {
    m_bits.clear();
    m_bits.shrink_to_fit();
    m_count = 0;
}

void RowMarks::Append(bool differs) {
    if (m_count % 64 == 0)
        m_bits.push_back(0);
    if (differs)
        m_bits.back() |= uint64_t(1) << (m_count % 64);
    ++m_count;
}

void RowMarks::AppendSame(uint64_t count) {
    m_count += count;
    m_bits.resize(size_t((m_count + 63) / 64), 0);
}

void RowMarks::MarkBlock(const uint8_t* now, size_t nowLength, const uint8_t* backup,
                         size_t backupLength, size_t rowBytes, bool hex) {
    const uint64_t rows = (nowLength + rowBytes - 1) / rowBytes;
    // Most blocks of a changed file are still equal as a whole.
    if (nowLength == backupLength && (nowLength == 0 || std::memcmp(now, backup, nowLength) == 0)) {
        AppendSame(rows);
        return;
    }
    for (size_t at = 0; at < nowLength; at += rowBytes) {
        const size_t n = std::min(rowBytes, nowLength - at);
        const size_t b = at < backupLength ? std::min(rowBytes, backupLength - at) : 0;
        Append(!SameAnalysisRow(now + at, n, backup + (b ? at : 0), b, hex));
    }
}
