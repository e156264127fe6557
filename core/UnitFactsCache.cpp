#include "UnitFactsCache.h"

#include "InterfaceScanner.h"

namespace quorvel::detail {

const std::vector<std::u16string>& UnitFactsCache::Helpers(const TIdentifierSet& ASet) {
    const std::lock_guard lock(FMutex);
    const auto [it, inserted] = FHelpers.try_emplace(&ASet);
    if (inserted) {
        for (const std::u16string& identifier : ASet) {
            if (identifier.starts_with(kHelperPrefix)) it->second.push_back(identifier);
        }
    }
    return it->second;
}

}  // namespace quorvel::detail
