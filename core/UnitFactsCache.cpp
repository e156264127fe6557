#include "UnitFactsCache.h"

#include <algorithm>

#include "InterfaceIdentifiers.h"

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
    if (!inserted) return it->second;
    const HashIndex& left = Index(ALeft);
    const HashIndex& right = Index(ARight);
    const HashIndex& smaller = left.size() <= right.size() ? left : right;
    const HashIndex& larger = &smaller == &left ? right : left;
    // The hashes of both sides ascend: a walk through both finds the common
    // ones, skipping ahead by binary search when the smaller side is sparse
    // in the larger, and stepping when they are alike in size (cheaper on
    // the cache).
    const bool sparse = smaller.size() * 16 < larger.size();
    auto from = larger.begin();
    for (const auto& [hash, identifier] : smaller) {
        if (sparse) {
            from = std::lower_bound(from, larger.end(), hash,
                                    [](const auto& AEntry, std::size_t AHash) { return AEntry.first < AHash; });
        } else {
            while (from != larger.end() && from->first < hash) ++from;
        }
        for (auto k = from; k != larger.end() && k->first == hash; ++k) {
            if (*k->second == *identifier) it->second.push_back(*identifier);
        }
    }
    std::sort(it->second.begin(), it->second.end());
    return it->second;
}

const UnitFactsCache::HashIndex& UnitFactsCache::Index(const TIdentifierSet* ASet) {
    const auto [it, inserted] = FIndexes.try_emplace(ASet);
    if (inserted) {
        it->second.reserve(ASet->size());
        for (const std::u16string& identifier : *ASet) {
            // The other facts ("USES X", "INIT CODE", signatures) are shared by
            // nearly every pair and name nothing a file could reach.
            const bool actsUnnamed = identifier.starts_with(kHelperPrefix) || identifier.starts_with(kOperatorPrefix);
            if (IsPseudoIdentifier(identifier) && !actsUnnamed) continue;
            it->second.emplace_back(std::hash<std::u16string>()(identifier), &identifier);
        }
        std::sort(it->second.begin(), it->second.end());
    }
    return it->second;
}

}  // namespace quorvel::detail
