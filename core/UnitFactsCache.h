#pragma once
// Facts the engine derives from the identifier sets of a unit catalog, kept
// so that each set is looked through once however many files use its unit.

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::detail {

class UnitFactsCache {
public:
    // The helper pseudo-identifiers ("HELPER FOR <TYPE>") of ASet. Safe to call
    // from several threads; the reference stays valid while the cache lives.
    const std::vector<std::u16string>& Helpers(const TIdentifierSet& ASet);

private:
    std::mutex FMutex;
    std::unordered_map<const TIdentifierSet*, std::vector<std::u16string>> FHelpers;
};

}  // namespace quorvel::detail
