// The byte comparisons and searches of the contents and abilities criteria. No locale takes
// part: with letter case ignored, only the ASCII letters A to Z and a to z equal their other
// case, and every other byte (0x80 and up included) equals only itself. A text byte is one of
// 0x20 to 0x7E.
//
// The searches are fast on large buffers: a text is looked for by the rarest of its bytes
// (memchr, both cases of a letter when case is ignored), and the text is compared only where
// that byte stands; the names of the abilities test are looked for by the '.' each of them
// holds, which no letter case changes, so all of them are found in one pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline bool IsTextByte(unsigned char b) {
    return b >= 0x20 && b <= 0x7E;
}

// The index of the first byte of data[0, n) that is no text byte; n when every one is.
size_t FirstNonTextByte(const unsigned char* data, size_t n);

// Whether n bytes are equal, letter case ignored unless `matchCase`.
bool BytesEqual(const unsigned char* a, const unsigned char* b, size_t n, bool matchCase);

constexpr size_t kNotFound = SIZE_MAX;

class TextFinder {
  public:
    TextFinder(std::string text, bool matchCase);
    size_t Length() const { return m_text.size(); }

    // The first i in [from, to) where the text stands at data + i; `data` holds at least
    // to - 1 + Length() bytes. kNotFound when it stands at none.
    size_t Find(const unsigned char* data, size_t from, size_t to) const;

  private:
    bool At(const unsigned char* data, size_t i) const;

    std::string m_text;
    bool m_matchCase;
    size_t m_anchor = 0;  // the index of the rarest byte of the text
    int m_anchorA = -1;   // that byte, and its other case when case is ignored (else -1)
    int m_anchorB = -1;
};

// Any of several names, letter case ignored; every name holds a '.'.
class NamesFinder {
  public:
    explicit NamesFinder(const std::vector<std::string>& names);
    // The most bytes a name has before its '.', and from its '.' to its end.
    size_t MaxBefore() const { return m_maxBefore; }
    size_t MaxFrom() const { return m_maxFrom; }

    // Whether a name stands wholly inside data[0, n) with its '.' at an index in [from, to).
    bool Find(const unsigned char* data, size_t n, size_t from, size_t to) const;

  private:
    struct Name {
        std::string text;
        size_t dot;  // the index of its '.'
    };
    std::vector<Name> m_names;
    size_t m_maxBefore = 0;
    size_t m_maxFrom = 0;
};
