#pragma once
// Facts the engine derives from the identifier sets of a unit catalog, kept
// so that each pair of units is compared once however many files use both.

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::detail {

class UnitFactsCache {
public:
    // The identifiers (helper pseudo-identifiers included) that both sets
    // declare, sorted. Safe to call from several threads; the reference stays
    // valid while the cache lives.
    const std::vector<std::u16string>& Shared(const TIdentifierSet& ALeft, const TIdentifierSet& ARight);

private:
    std::mutex FMutex;
    std::map<std::pair<const TIdentifierSet*, const TIdentifierSet*>, std::vector<std::u16string>> FShared;
};

}  // namespace quorvel::detail
