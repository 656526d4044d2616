// The criterion of the add by attributes: `AttributeMatch` of an entry's whole attribute
// value against the thirteen boxes of m_critAttributes (hidden, archive, read-only, system,
// the four "plus any others", any, compressed, compressed plus, encrypted, encrypted plus).
// An entry matches when
//  - "Any " is ticked;
//  - no other box is ticked and the value is 0x80 (no attribute but the normal one);
//  - the value is exactly one combination of read-only 0x1, hidden 0x2, system 0x4, archive
//    0x20, compressed 0x800 and encrypted 0x4000 whose boxes are all ticked (compressed and
//    encrypted never together, nor with system; with either of them the not-content-indexed
//    bit 0x2000 may be set too);
//  - a "plus any others" box is ticked and the value has its attribute and otherwise only
//    those the table allows beside it (read-only, hidden, system: each other and archive;
//    archive: the first three; compressed and encrypted: read-only, hidden and archive, with
//    or without 0x2000).
// Single bits are never tested on their own: every other value (temporary, sparse, reparse
// point, offline, 0x2000 alone, ...) matches through "Any " only. Folders are tested too.
#pragma once

#include <cstdint>

#include "criteria/Criterion.h"

bool AttributeMatch(uint32_t value, const int attributes[13]);

class AttributeCriterion : public Criterion {
  public:
    explicit AttributeCriterion(const int attributes[13]);
    bool TestsFolders() const override { return true; }
    Verdict Test(const WalkEntry& entry, CriterionContext& context) override;

  private:
    int m_attributes[13];
};
