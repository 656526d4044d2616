// The attribute criterion.
#include "criteria/AttributeCriterion.h"

#include <algorithm>

#include "platform/WinTypes.h"

namespace {

enum Box {
    kHidden,
    kArchive,
    kReadOnly,
    kSystem,
    kHiddenPlus,
    kArchivePlus,
    kReadOnlyPlus,
    kSystemPlus,
    kAny,
    kCompressed,
    kCompressedPlus,
    kEncrypted,
    kEncryptedPlus,
};

constexpr uint32_t kReadOnlyBit = FILE_ATTRIBUTE_READONLY;
constexpr uint32_t kHiddenBit = FILE_ATTRIBUTE_HIDDEN;
constexpr uint32_t kSystemBit = FILE_ATTRIBUTE_SYSTEM;
constexpr uint32_t kArchiveBit = FILE_ATTRIBUTE_ARCHIVE;
constexpr uint32_t kCompressedBit = FILE_ATTRIBUTE_COMPRESSED;
constexpr uint32_t kEncryptedBit = FILE_ATTRIBUTE_ENCRYPTED;
constexpr uint32_t kNotIndexedBit = FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr uint32_t kFatBits = kReadOnlyBit | kHiddenBit | kSystemBit | kArchiveBit;

// The value of a combination of the table, with 0x2000 taken off beside compressed or
// encrypted; false for a value that is no combination of it.
bool TableCombination(uint32_t value, uint32_t& combination) {
    combination = value;
    const uint32_t ntfs = value & (kCompressedBit | kEncryptedBit);
    if (ntfs != 0 && (value & kNotIndexedBit))
        combination &= ~kNotIndexedBit;
    if (combination == 0 || (combination & ~(kFatBits | kCompressedBit | kEncryptedBit)) != 0)
        return false;
    if (ntfs == (kCompressedBit | kEncryptedBit))
        return false;
    return ntfs == 0 || (combination & kSystemBit) == 0;
}

bool Ticked(const int attributes[13], Box box) {
    return attributes[box] != 0;
}

}  // namespace

bool AttributeMatch(uint32_t value, const int attributes[13]) {
    if (Ticked(attributes, kAny))
        return true;
    bool anyOther = false;
    for (int i = 0; i < 13; ++i) anyOther = anyOther || (i != kAny && attributes[i] != 0);
    if (!anyOther && value == FILE_ATTRIBUTE_NORMAL)
        return true;

    uint32_t c = 0;
    if (!TableCombination(value, c))
        return false;

    // Exact boxes: every attribute of the combination has its box ticked.
    const struct {
        uint32_t bit;
        Box box;
    } kExact[] = {{kReadOnlyBit, kReadOnly},     {kHiddenBit, kHidden},
                  {kSystemBit, kSystem},         {kArchiveBit, kArchive},
                  {kCompressedBit, kCompressed}, {kEncryptedBit, kEncrypted}};
    bool exact = true;
    for (const auto& e : kExact) exact = exact && (!(c & e.bit) || Ticked(attributes, e.box));
    if (exact)
        return true;

    // "Plus any others": the attribute, and beside it only what the table allows.
    const uint32_t ntfs = c & (kCompressedBit | kEncryptedBit);
    if (ntfs == 0) {
        const struct {
            uint32_t bit;
            Box box;
        } kPlus[] = {{kReadOnlyBit, kReadOnlyPlus},
                     {kHiddenBit, kHiddenPlus},
                     {kSystemBit, kSystemPlus},
                     {kArchiveBit, kArchivePlus}};
        for (const auto& p : kPlus) {
            if ((c & p.bit) && Ticked(attributes, p.box))
                return true;
        }
        return false;
    }
    return (ntfs == kCompressedBit && Ticked(attributes, kCompressedPlus)) ||
           (ntfs == kEncryptedBit && Ticked(attributes, kEncryptedPlus));
}

AttributeCriterion::AttributeCriterion(const int attributes[13]) {
    std::copy(attributes, attributes + 13, m_attributes);
}

Criterion::Verdict AttributeCriterion::Test(const WalkEntry& entry, CriterionContext&) {
    return AttributeMatch(entry.find.dwFileAttributes, m_attributes) ? Verdict::Match
                                                                     : Verdict::NoMatch;
}
