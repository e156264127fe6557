#include "UnitFactsCache.h"

#include <algorithm>

#include "InterfaceIdentifiers.h"

namespace quorvel::detail {

std::vector<const UnitFactsCache::Identifiers*> UnitFactsCache::SharedByPairs(
    const std::vector<const TIdentifierSet*>& ASets) {
    std::vector<const Identifiers*> result;
    const std::lock_guard lock(FMutex);
    for (std::size_t a = 0; a < ASets.size(); ++a) {
        if (ASets[a]->empty()) continue;
        for (std::size_t b = a + 1; b < ASets.size(); ++b) {
            if (ASets[b] == ASets[a] || ASets[b]->empty()) continue;  // a unit listed twice shares with itself
            const Identifiers& shared = Shared(ASets[a], ASets[b]);
            if (!shared.empty()) result.push_back(&shared);
        }
    }
    return result;
}

// Under the lock: a pair is compared once, whichever thread asks first.
const UnitFactsCache::Identifiers& UnitFactsCache::Shared(const TIdentifierSet* ALeft, const TIdentifierSet* ARight) {
    const Pair key = std::less<>()(ALeft, ARight) ? Pair(ALeft, ARight) : Pair(ARight, ALeft);
    const auto [it, inserted] = FShared.try_emplace(key);
    if (!inserted) return it->second;
    const HashIndex& left = Index(ALeft);
    const HashIndex& right = Index(ARight);
    const HashIndex& smaller = left.Hashes.size() <= right.Hashes.size() ? left : right;
    const HashIndex& larger = &smaller == &left ? right : left;
    const std::vector<std::uint32_t>& small = smaller.Hashes;
    const std::vector<std::uint32_t>& large = larger.Hashes;
    Identifiers& shared = it->second;
    // Both identifiers of every hash that the two have in common.
    const auto compareRuns = [&](std::size_t AFrom, std::size_t ALargeFrom) {
        const std::uint32_t hash = small[AFrom];
        for (std::size_t k = AFrom; k < small.size() && small[k] == hash; ++k) {
            for (std::size_t m = ALargeFrom; m < large.size() && large[m] == hash; ++m) {
                if (*larger.Identifiers[m] == *smaller.Identifiers[k]) shared.push_back(smaller.Identifiers[k]);
            }
        }
    };
    // Each hash of the smaller side that the larger's bits may hold is
    // searched for there; both ascend, so each search starts where the last ended.
    auto from = large.begin();
    for (std::size_t k = 0; k < small.size(); ++k) {
        if (k > 0 && small[k] == small[k - 1]) continue;  // the run was compared at its first
        if (!larger.MayHold(small[k])) continue;
        from = std::lower_bound(from, large.end(), small[k]);
        if (from == large.end()) break;
        if (*from == small[k]) compareRuns(k, static_cast<std::size_t>(from - large.begin()));
    }
    std::sort(shared.begin(), shared.end(), [](const std::u16string* ALeft, const std::u16string* ARight) { return *ALeft < *ARight; });
    return shared;
}

const UnitFactsCache::HashIndex& UnitFactsCache::Index(const TIdentifierSet* ASet) {
    const auto [it, inserted] = FIndexes.try_emplace(ASet);
    if (inserted) {
        std::vector<std::pair<std::uint32_t, const std::u16string*>> entries;
        entries.reserve(ASet->size());
        for (const std::u16string& identifier : *ASet) {
            // The other facts ("USES X", "INIT CODE", signatures) are shared by
            // nearly every pair and name nothing a file could reach.
            const bool actsUnnamed = identifier.starts_with(kHelperPrefix) || identifier.starts_with(kOperatorPrefix);
            if (IsPseudoIdentifier(identifier) && !actsUnnamed) continue;
            const std::size_t hash = std::hash<std::u16string>()(identifier);
            entries.emplace_back(static_cast<std::uint32_t>(hash ^ (hash >> 32)), &identifier);
        }
        std::sort(entries.begin(), entries.end());
        it->second.Hashes.reserve(entries.size());
        it->second.Identifiers.reserve(entries.size());
        for (const auto& [hash, identifier] : entries) {
            it->second.Hashes.push_back(hash);
            it->second.Identifiers.push_back(identifier);
        }
        std::uint32_t bits = 64;
        while (bits < entries.size() * 8 && bits < (1u << 30)) bits *= 2;
        it->second.Bits.assign(bits / 64, 0);
        it->second.Mask = bits - 1;
        for (const auto& [hash, identifier] : entries)
            it->second.Bits[(hash & it->second.Mask) / 64] |= std::uint64_t{1} << (hash & 63);
    }
    return it->second;
}

}  // namespace quorvel::detail
