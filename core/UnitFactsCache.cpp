#include "UnitFactsCache.h"

#include <algorithm>

namespace quorvel::detail {

std::vector<const std::vector<std::u16string>*> UnitFactsCache::SharedByPairs(
    const std::vector<const TIdentifierSet*>& ASets) {
    std::vector<const std::vector<std::u16string>*> result;
    const std::lock_guard lock(FMutex);
    for (std::size_t a = 0; a < ASets.size(); ++a) {
        if (ASets[a]->empty()) continue;
        for (std::size_t b = a + 1; b < ASets.size(); ++b) {
            if (ASets[b] == ASets[a] || ASets[b]->empty()) continue;  // a unit listed twice shares with itself
            const std::vector<std::u16string>& shared = Shared(ASets[a], ASets[b]);
            if (!shared.empty()) result.push_back(&shared);
        }
    }
    return result;
}

// Under the lock: a pair is compared once, whichever thread asks first.
const std::vector<std::u16string>& UnitFactsCache::Shared(const TIdentifierSet* ALeft, const TIdentifierSet* ARight) {
    const Pair key = std::less<>()(ALeft, ARight) ? Pair(ALeft, ARight) : Pair(ARight, ALeft);
    const auto [it, inserted] = FShared.try_emplace(key);
    if (inserted) {
        const TIdentifierSet& smaller = ALeft->size() <= ARight->size() ? *ALeft : *ARight;
        const TIdentifierSet& larger = &smaller == ALeft ? *ARight : *ALeft;
        for (const std::u16string& identifier : smaller) {
            if (larger.contains(identifier)) it->second.push_back(identifier);
        }
        std::sort(it->second.begin(), it->second.end());
    }
    return it->second;
}

}  // namespace quorvel::detail
