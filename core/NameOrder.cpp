#include "NameOrder.h"

#include <algorithm>

#include "TextRules.h"

namespace quorvel::detail {
namespace {

std::u16string_view SortKey(const TUsesEntry& AEntry) {
    return std::u16string_view(AEntry.UnitName).substr(AEntry.NameStart);
}

}  // namespace

int CompareUnitNames(std::u16string_view ALeft, std::u16string_view ARight) {
    const std::size_t common = std::min(ALeft.size(), ARight.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int left = FoldAscii(ALeft[i]);
        const int right = FoldAscii(ARight[i]);
        if (left != right) return left - right;
    }
    if (ALeft.size() == ARight.size()) return 0;
    return ALeft.size() < ARight.size() ? -1 : 1;
}

int CompareEntryNames(const TUsesEntry& ALeft, const TUsesEntry& ARight) {
    return CompareUnitNames(SortKey(ALeft), SortKey(ARight));
}

std::vector<TUsesEntry> SortEntries(const std::vector<TUsesEntry>& AEntries) {
    std::vector<TUsesEntry> sorted = AEntries;
    std::stable_sort(sorted.begin(), sorted.end(), [](const TUsesEntry& ALeft, const TUsesEntry& ARight) {
        return CompareEntryNames(ALeft, ARight) < 0;
    });
    return sorted;
}

}  // namespace quorvel::detail
