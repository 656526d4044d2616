// AttributeMatch against the boxes: for each choice of boxes, exactly the attribute values
// the rules name match, among values that include every combination of the table, folders,
// links, the temporary, sparse, offline and not-content-indexed bits, and compressed or
// encrypted together with system.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "criteria/AttributeCriterion.h"

namespace {

enum { H, A, R, S, HP, AP, RP, SP, ANY, C, CP, E, EP };

std::vector<uint32_t> Candidates() {
    std::vector<uint32_t> values;
    const uint32_t fat[] = {0x0,  0x1,  0x2,  0x3,  0x4,  0x5,  0x6,  0x7,
                            0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
    for (uint32_t base : {0x0u, 0x800u, 0x2800u, 0x4000u, 0x6000u, 0x2000u, 0x4800u})
        for (uint32_t f : fat) values.push_back(base | f);
    for (uint32_t other : {0x8u, 0x10u, 0x30u, 0x80u, 0x100u, 0x120u, 0x200u, 0x400u, 0x410u,
                           0x1000u, 0x1020u, 0x2010u, 0x2080u})
        values.push_back(other);
    return values;
}

std::set<uint32_t> WithNotIndexed(std::set<uint32_t> values) {
    std::set<uint32_t> out = values;
    for (uint32_t v : values) out.insert(v | 0x2000);
    return out;
}

std::set<uint32_t> Range(uint32_t base, std::initializer_list<uint32_t> others) {
    std::set<uint32_t> out;
    for (uint32_t o : others) out.insert(base | o);
    return out;
}

std::set<uint32_t> Union(std::set<uint32_t> a, const std::set<uint32_t>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

struct Case {
    const char* name;
    std::vector<int> ticked;
    std::set<uint32_t> matches;
};

}  // namespace

TEST(AttributeMatchTest, EachChoiceOfBoxesMatchesExactlyTheValuesItsRulesName) {
    std::set<uint32_t> all;
    for (uint32_t v : Candidates()) all.insert(v);
    std::set<uint32_t> table;  // every combination of the exact boxes' table
    for (uint32_t v = 1; v <= 0x27; ++v)
        if ((v & ~0x27u) == 0 && v != 0)
            table.insert(v);
    for (uint32_t base : {0x800u, 0x4000u})
        for (uint32_t v : WithNotIndexed(Range(base, {0x0, 0x1, 0x2, 0x3, 0x20, 0x21, 0x22, 0x23})))
            table.insert(v);

    const std::vector<Case> cases = {
        {"any", {ANY}, all},
        {"none ticked: the normal attribute alone", {}, {0x80}},
        {"hidden", {H}, {0x2}},
        {"hidden and read-only", {H, R}, {0x1, 0x2, 0x3}},
        {"system and archive", {S, A}, {0x4, 0x20, 0x24}},
        {"system", {S}, {0x4}},
        {"read-only plus", {RP}, {0x1, 0x3, 0x5, 0x7, 0x21, 0x23, 0x25, 0x27}},
        {"hidden plus", {HP}, {0x2, 0x3, 0x6, 0x7, 0x22, 0x23, 0x26, 0x27}},
        {"system plus", {SP}, {0x4, 0x5, 0x6, 0x7, 0x24, 0x25, 0x26, 0x27}},
        {"archive plus", {AP}, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27}},
        {"compressed", {C}, {0x800, 0x2800}},
        {"encrypted", {E}, {0x4000, 0x6000}},
        {"compressed with read-only, hidden and archive",
         {C, R, H, A},
         Union(Range(0x0, {0x1, 0x2, 0x3, 0x20, 0x21, 0x22, 0x23}),
               WithNotIndexed(Range(0x800, {0x0, 0x1, 0x2, 0x3, 0x20, 0x21, 0x22, 0x23})))},
        {"compressed plus",
         {CP},
         WithNotIndexed(Range(0x800, {0x0, 0x1, 0x2, 0x3, 0x20, 0x21, 0x22, 0x23}))},
        {"encrypted plus",
         {EP},
         WithNotIndexed(Range(0x4000, {0x0, 0x1, 0x2, 0x3, 0x20, 0x21, 0x22, 0x23}))},
        {"system and compressed: never together", {S, C}, {0x4, 0x800, 0x2800}},
        {"every box but any", {H, A, R, S, HP, AP, RP, SP, C, CP, E, EP}, table},
    };
    for (const Case& c : cases) {
        int boxes[13] = {};
        for (int b : c.ticked) boxes[b] = 1;
        for (uint32_t given : c.matches) ASSERT_TRUE(all.count(given)) << c.name;
        for (uint32_t v : all) {
            EXPECT_EQ(AttributeMatch(v, boxes), c.matches.count(v) == 1)
                << c.name << ": 0x" << std::hex << v;
        }
    }
}

TEST(AttributeMatchTest, ANormalFileIsNoLongerMatchedOnceAnyBoxIsTicked) {
    for (int box = 0; box < 13; ++box) {
        int boxes[13] = {};
        boxes[box] = 1;
        EXPECT_EQ(AttributeMatch(0x80, boxes), box == ANY) << box;
    }
}
