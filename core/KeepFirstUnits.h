#pragma once
// Which units of a clause must come first: the built-in list and the user's.

#include <array>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Folded unit names with a quick test that rejects most other names unfolded.
class UnitNameSet {
public:
    void Add(std::u16string_view AName);
    bool IsEmpty() const { return FNames.empty(); }
    bool Contains(std::u16string_view AName) const;

private:
    std::unordered_set<std::u16string> FNames;
    std::array<bool, 128> FFirstUnits{};  // folded first code units of the names
};

class KeepFirstMatcher {
public:
    KeepFirstMatcher(bool ABuiltIn, const std::vector<std::u16string>& AUserUnits,
                     const std::vector<std::u16string>& AScopeNames);

    bool IsEmpty() const { return FBuiltIn == nullptr && FUser.IsEmpty(); }
    // Whether the unit named AUnitName (as written in a clause) is one to keep
    // first: its name, or its name without a scope in front, is listed. A
    // listed name with a scope also matches the name without it.
    bool Matches(std::u16string_view AUnitName) const;

private:
    const UnitNameSet* FBuiltIn = nullptr;
    UnitNameSet FUser;
    const std::vector<std::u16string>& FScopeNames;

    bool IsListed(std::u16string_view AName) const;
};

}  // namespace quorvel::detail
