#pragma once
// Groups of units in a clause: which group a unit belongs to, by the name
// patterns the user lists (or a preset), and whether the clause's blank-line
// blocks stay apart.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::detail {

class UnitScopes;

class UnitGroups {
public:
    // AGroups as TFormatOptions::UnitGroups holds them; a group that is no
    // group (see F_UnitGroupProblem) is passed over.
    explicit UnitGroups(const std::vector<std::u16string>& AGroups);

    bool HasGroups() const { return !FGroups.empty(); }
    bool KeepsBlocks() const { return FKeepBlocks; }

    // The rank of the group of the unit AName: the group whose pattern
    // matches it with the most letters (the first such group on a tie); where
    // a pattern holds a dot, a name written without its scope name is also
    // tried with the one that AScopes finds for it. Then "project" when ACatalog (may be nullptr)
    // finds its source in the project's folders, else "other". A group
    // the list does not name ranks after the listed ones, "project" last.
    std::size_t Rank(std::u16string_view AName, const UnitScopes& AScopes, const TUnitCatalog* ACatalog) const;
    // The group of a rank as written in the options ("Vcl.*;Vcl", "other").
    std::u16string_view Name(std::size_t ARank) const;

private:
    std::vector<std::u16string> FGroups;  // as written, by rank
    // Patterns without wildcards, folded, with their first group: most
    // patterns are whole names, found at once.
    std::unordered_map<std::u16string, std::size_t> FExact;
    std::vector<std::pair<std::size_t, std::u16string>> FWildcards;  // group and pattern
    bool FDotted = false;  // a pattern holds a dot
    std::size_t FOtherRank = 0;
    std::size_t FProjectRank = 0;
    bool FKeepBlocks = false;

    void Add(std::u16string_view AGroup);
    // The rank and letters of the best pattern matching AName; letters 0: none.
    std::pair<std::size_t, std::size_t> BestMatch(std::u16string_view AName) const;
};

}  // namespace quorvel::detail

#include "ClauseOrder.h"

namespace quorvel::detail {

// The blocks (when AGroups keeps them) and group ranks (when it has groups)
// of AEntries, and, when ALookUpNames, the names the name rule looks them up by.
EntryPlaces PlaceEntries(const std::vector<TUsesEntry>& AEntries, const UnitGroups& AGroups,
                         const UnitScopes& AScopes, const TUnitCatalog* ACatalog, bool ALookUpNames);

}  // namespace quorvel::detail
