#include "UnitFactsCache.h"

#include <algorithm>
#include <functional>

namespace quorvel::detail {

const std::vector<std::u16string>& UnitFactsCache::Shared(const TIdentifierSet& ALeft, const TIdentifierSet& ARight) {
    const std::pair<const TIdentifierSet*, const TIdentifierSet*> key =
        std::less<>()(&ALeft, &ARight) ? std::pair(&ALeft, &ARight) : std::pair(&ARight, &ALeft);
    {
        const std::lock_guard lock(FMutex);
        if (const auto found = FShared.find(key); found != FShared.end()) return found->second;
    }
    // Compared outside the lock; a thread that compared the same pair meanwhile wins.
    const TIdentifierSet& smaller = ALeft.size() <= ARight.size() ? ALeft : ARight;
    const TIdentifierSet& larger = &smaller == &ALeft ? ARight : ALeft;
    std::vector<std::u16string> shared;
    for (const std::u16string& identifier : smaller) {
        if (larger.contains(identifier)) shared.push_back(identifier);
    }
    std::sort(shared.begin(), shared.end());
    const std::lock_guard lock(FMutex);
    return FShared.try_emplace(key, std::move(shared)).first->second;
}

}  // namespace quorvel::detail
