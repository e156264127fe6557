// UnitFactsCache finds the identifiers two sets share by walking both sets'
// identifiers in hash order: step by step when the sets are alike in size,
// by binary search when the smaller has fewer than a sixteenth of the
// larger's. Each walk must find a shared identifier wherever it falls in
// hash order, first and last included.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "TestText.h"
#include "UnitFactsCache.h"

namespace quorvel::test {
namespace {

using Names = std::vector<std::u16string>;

// APrefix followed by two letters for each number in [AFrom, ATo).
TIdentifierSet Numbered(std::u16string_view APrefix, int AFrom, int ATo) {
    TIdentifierSet set;
    for (int i = AFrom; i < ATo; ++i) {
        set.insert(std::u16string(APrefix) + static_cast<char16_t>(u'A' + i % 26) + static_cast<char16_t>(u'A' + i / 26));
    }
    return set;
}

Names Common(const TIdentifierSet& ALeft, const TIdentifierSet& ARight) {
    Names common;
    for (const std::u16string& name : ALeft) {
        if (ARight.contains(name)) common.push_back(name);
    }
    std::sort(common.begin(), common.end());
    return common;
}

Names Texts(const detail::UnitFactsCache::Identifiers* AIdentifiers) {
    Names texts;
    for (const std::u16string* identifier : *AIdentifiers) texts.push_back(*identifier);
    return texts;
}

// What one fresh cache reports for the pair, asked in the order given.
Names SharedByPair(const TIdentifierSet& AFirst, const TIdentifierSet& ASecond) {
    detail::UnitFactsCache cache;
    const auto shared = cache.SharedByPairs({&AFirst, &ASecond});
    return shared.empty() ? Names{} : Texts(shared.front());
}

// The sparse walk: each identifier of a 100-name set, in turn, is the one a
// 3-name set shares with it (3 * 16 < 100), from either side.
TEST(UnitFactsCacheTest, SparseWalkFindsEveryPlaceInHashOrder) {
    const TIdentifierSet larger = Numbered(u"Big", 0, 100);
    for (const std::u16string& name : larger) {
        const TIdentifierSet smaller = {name, u"NotInBig1", u"NotInBig2"};
        EXPECT_EQ(Names{name}, SharedByPair(smaller, larger)) << "shared: " << Show(name);
        EXPECT_EQ(Names{name}, SharedByPair(larger, smaller)) << "shared: " << Show(name);
    }
}

// The stepping walk on sets alike in size, and on the largest smaller set
// that still steps (7 * 16 = 112): every shared name found, none other.
TEST(UnitFactsCacheTest, SteppingWalkFindsAllShared) {
    const TIdentifierSet left = Numbered(u"N", 0, 50), right = Numbered(u"N", 25, 75);
    EXPECT_EQ(Common(left, right), SharedByPair(left, right));
    EXPECT_EQ(25u, SharedByPair(right, left).size());

    const TIdentifierSet larger = Numbered(u"N", 0, 112);
    for (int start = 0; start < 112; start += 7) {
        TIdentifierSet smaller = Numbered(u"N", start, start + 4);
        smaller.merge(Numbered(u"Other", 0, 3));
        EXPECT_EQ(Common(smaller, larger), SharedByPair(smaller, larger)) << "from N" << start;
    }
}

// The pairs of a clause: the same set listed twice is not a pair, sets that
// are empty or share nothing give none, and a pair met again (later in the
// clause, in either order, or in another clause) is the one kept.
TEST(UnitFactsCacheTest, PairsOfAClause) {
    const TIdentifierSet a = {u"X", u"Y"}, b = {u"Y", u"Z"}, c = {u"Q"}, empty;
    detail::UnitFactsCache cache;
    const auto clause = cache.SharedByPairs({&a, &b, &a, &c, &empty});
    ASSERT_EQ(2u, clause.size());  // a-b and b-a
    EXPECT_EQ(Names{u"Y"}, Texts(clause[0]));
    EXPECT_EQ(clause[0], clause[1]);
    const auto again = cache.SharedByPairs({&b, &a});
    ASSERT_EQ(1u, again.size());
    EXPECT_EQ(clause[0], again[0]);
}

}  // namespace
}  // namespace quorvel::test
