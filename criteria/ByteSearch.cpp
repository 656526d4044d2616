// The criteria's byte comparisons and searches.
#include "criteria/ByteSearch.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

unsigned char Fold(unsigned char b) {
    return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 0x20) : b;
}

bool IsLetter(unsigned char b) {
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// How common a byte is in files at large (text and programs), higher for more common: the
// search anchors on the least common byte of what it looks for.
int Commonness(unsigned char b, bool matchCase) {
    if (!matchCase)
        b = Fold(b);
    static const unsigned char kCommonFirst[] = {
        0x00, ' ', 0xFF, 'e', 't', 'a', 'o', 'i', 'n', 's', 'r',  'h', 'l', '\n', 'd',  'c',
        'u',  'm', 'f',  'p', 'g', 'w', 'y', 'b', ',', '.', '\r', 'v', 'k', '\t', 0x01, 'E',
        'T',  'A', 'S',  'I', 'O', 'N', 'R', '0', '1', '-', '2',  '_', 'C', 'D',  'L',  'M',
        'P',  'x', '"',  '/', '=', ':', ';', '(', ')', 'F', 'B',  'H', 'G', 'j',  'q',  'z',
    };
    constexpr int kCount = int(sizeof kCommonFirst);
    for (int i = 0; i < kCount; ++i) {
        if (kCommonFirst[i] == b)
            return kCount - i;
    }
    return 0;
}

const unsigned char* Scan(const unsigned char* from, const unsigned char* end, int byte) {
    return from < end
               ? static_cast<const unsigned char*>(std::memchr(from, byte, size_t(end - from)))
               : nullptr;
}

}  // namespace

size_t FirstNonTextByte(const unsigned char* data, size_t n) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
    size_t i = 0;
    // Eight bytes at a time: a byte below 0x20, or above 0x7E, sets the high bit of its lane
    // (lanes above such a byte may be set too; the bytes are then looked at one by one).
    for (; i + 8 <= n; i += 8) {
        uint64_t x;
        std::memcpy(&x, data + i, 8);
        const uint64_t below = (x - 0x20 * kOnes) & ~x & kHighs;
        const uint64_t above = ((x + kOnes) | x) & kHighs;
        if (below | above)
            break;
    }
    for (; i < n; ++i) {
        if (!IsTextByte(data[i]))
            return i;
    }
    return n;
}

bool BytesEqual(const unsigned char* a, const unsigned char* b, size_t n, bool matchCase) {
    if (matchCase)
        return std::memcmp(a, b, n) == 0;
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i] && Fold(a[i]) != Fold(b[i]))
            return false;
    }
    return true;
}

TextFinder::TextFinder(std::string text, bool matchCase)
    : m_text(std::move(text)), m_matchCase(matchCase) {
    if (m_text.empty())
        return;
    int best = 1 << 30;
    for (size_t i = 0; i < m_text.size(); ++i) {
        const int c = Commonness(static_cast<unsigned char>(m_text[i]), matchCase);
        if (c < best) {
            best = c;
            m_anchor = i;
        }
    }
    const unsigned char a = static_cast<unsigned char>(m_text[m_anchor]);
    m_anchorA = a;
    if (!matchCase && IsLetter(a))
        m_anchorB = a ^ 0x20;
}

bool TextFinder::At(const unsigned char* data, size_t i) const {
    return BytesEqual(data + i, reinterpret_cast<const unsigned char*>(m_text.data()),
                      m_text.size(), m_matchCase);
}

size_t TextFinder::Find(const unsigned char* data, size_t from, size_t to) const {
    if (from >= to)
        return kNotFound;
    if (m_text.empty())
        return from;
    // The anchor byte of a start i stands at i + m_anchor.
    const unsigned char* end = data + to + m_anchor;
    const unsigned char* nextA = Scan(data + from + m_anchor, end, m_anchorA);
    const unsigned char* nextB =
        m_anchorB < 0 ? nullptr : Scan(data + from + m_anchor, end, m_anchorB);
    while (nextA || nextB) {
        const bool takeA = nextA && (!nextB || nextA < nextB);
        const unsigned char* hit = takeA ? nextA : nextB;
        const size_t i = size_t(hit - data) - m_anchor;
        if (At(data, i))
            return i;
        if (takeA)
            nextA = Scan(hit + 1, end, m_anchorA);
        else
            nextB = Scan(hit + 1, end, m_anchorB);
    }
    return kNotFound;
}

NamesFinder::NamesFinder(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const size_t dot = name.find('.');
        if (dot == std::string::npos)
            throw std::invalid_argument("a name without '.': " + name);
        m_names.push_back({name, dot});
        m_maxBefore = std::max(m_maxBefore, dot);
        m_maxFrom = std::max(m_maxFrom, name.size() - dot);
    }
}

bool NamesFinder::Find(const unsigned char* data, size_t n, size_t from, size_t to) const {
    const unsigned char* end = data + std::min(to, n);
    for (const unsigned char* dot = Scan(data + std::min(from, n), end, '.'); dot;
         dot = Scan(dot + 1, end, '.')) {
        const size_t q = size_t(dot - data);
        for (const Name& name : m_names) {
            if (q < name.dot || q - name.dot + name.text.size() > n)
                continue;
            if (BytesEqual(data + q - name.dot,
                           reinterpret_cast<const unsigned char*>(name.text.data()),
                           name.text.size(), false))
                return true;
        }
    }
    return false;
}
