#pragma once
// Which units of a clause must come first: the built-in list and the user's.

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::detail {

class KeepFirstMatcher {
public:
    KeepFirstMatcher(bool ABuiltIn, const std::vector<std::u16string>& AUserUnits,
                     const std::vector<std::u16string>& AScopeNames);

    bool IsEmpty() const { return FNames.empty(); }
    // Whether the unit named AUnitName (as written in a clause) is one to keep
    // first: its name, or its name without a scope in front, is listed.
    bool Matches(std::u16string_view AUnitName) const;

private:
    std::unordered_set<std::u16string> FNames;  // folded, each also without its scope
    const std::vector<std::u16string>& FScopeNames;
};

}  // namespace quorvel::detail
