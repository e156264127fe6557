#pragma once
// Which units of a clause must stay before which so that every identifier the
// file uses still comes from the same unit, and how the file spells those
// identifiers, for the log.

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "FileUses.h"
#include "IncludeWalker.h"
#include "InterfaceIdentifiers.h"
#include "UnitInterface.h"

namespace quorvel::detail {

class IdentifierFilter;
class UnitEffectsCache;
class UnitFactsCache;

// The include files a text names, and those they name in turn, as the
// compiler meets them; within the include walker's limits.
struct IncludedTexts {
    std::deque<std::u16string> Texts;  // spellings may point into them
    std::size_t Units = 0;             // their code units together
    bool Complete = true;              // every file named could be read
};

// What is read of a file once for all its clauses, when first needed.
struct FileReadings {
    std::optional<IncludedTexts> Included;
    std::optional<FileUses> Uses;  // every name the file uses, when the finder of unneeded units read them
    std::optional<OwnDeclarationMap> Own;  // its own top-level declarations, as far as OwnUpTo at least
    std::size_t OwnUpTo = 0;
};

// What the name rule needs; without a catalog the rule is off.
struct NameRules {
    bool Names = true;       // keep the units names resolve to
    bool InitOrder = false;  // keep the order of units that run code as the program starts or ends
    const TUnitCatalog* Catalog = nullptr;
    const std::vector<std::u16string>* ScopeNames = nullptr;
    UnitFactsCache* Facts = nullptr;
    UnitEffectsCache* Effects = nullptr;  // what units bring in and run as the program starts
    // The whole file, asked for only when a name two units share needs it:
    // the identifiers it uses count.
    std::function<std::u16string_view()> Text;
    const TIncludeReader* ReadInclude = nullptr;  // and those of the include files it names
    mutable FileReadings Read;
};

// The include files ANames name (those of the file's own text), and those
// they name in turn, read once per file into ARules.Read.Included.
const IncludedTexts& ReadIncludedTexts(const NameRules& ARules, const std::vector<std::u16string_view>& ANames);

// What ALookup finds for the unit AName as written, else with each scope name
// in front (the compiler's order); nullptr for an empty name.
template <typename Lookup>
auto FindWithScopeNames(const NameRules& ARules, std::u16string_view AName, Lookup&& ALookup)
    -> decltype(ALookup(AName)) {
    if (AName.empty()) return nullptr;
    if (auto found = ALookup(AName)) return found;
    std::u16string scoped;
    for (const std::u16string& scope : *ARules.ScopeNames) {
        scoped.assign(scope).append(u".").append(AName);
        if (auto found = ALookup(std::u16string_view(scoped))) return found;
    }
    return nullptr;
}

// The declarations of the unit AName (as written, else with each scope name
// in front); nullptr when the catalog knows no source for it.
const TIdentifierSet* FindUnitSet(const NameRules& ARules, std::u16string_view AName);

// An entry whose unit runs code as the program starts or ends: its own
// (Through empty) or that of a unit it brings in (Through: that unit's name).
struct InitUnit {
    std::size_t Entry;
    std::u16string Through;
};

// Entry Before must stay before entry After for the sake of Identifiers (folded, sorted).
struct Constraint {
    std::size_t Before;
    std::size_t After;
    std::vector<std::u16string> Identifiers;
};

class ConstraintFinder {
public:
    explicit ConstraintFinder(const NameRules& ARules) : FRules(ARules) {}

    // ANames are the clause's unit names by entry (empty where there is none).
    // For every identifier the file uses that two or more of the units declare,
    // the last of them must stay after each of the others (overloaded routines:
    // see AddPairs); a helper or an operator counts as used, a name the file
    // declares itself before any use does not. The file is read only when two units declare something in common,
    // and then only for those shared identifiers.
    std::vector<Constraint> Find(const std::vector<std::u16string>& ANames);

    // The entries whose unit has code in its initialization or finalization
    // section, or brings in (through its uses clauses, at any depth) a unit
    // that has; in clause order. A unit without source counts as none.
    std::vector<InitUnit> InitUnits(const std::vector<std::u16string>& ANames);

    // A folded identifier as the file first spells it; helpers as "helper for TYPE".
    std::u16string Spelling(const std::u16string& AFolded) const;

private:
    using FoundUnits = std::vector<std::pair<std::size_t, const TIdentifierSet*>>;  // entry and declarations
    using UsedSpellings = std::unordered_map<std::u16string_view, std::u16string_view>;

    const NameRules& FRules;
    bool FWithIncludes = false;  // the file names include files: its own declarations are not known
    std::unordered_map<std::u16string, std::u16string_view> FSpellings;
    std::map<std::pair<std::size_t, std::size_t>, std::vector<std::u16string>> FPairs;

    std::optional<FoundUnits> FFound;  // once per clause: the catalog is told of missing units once
    const FoundUnits& FindUnits(const std::vector<std::u16string>& ANames);
    UsedSpellings UsedSharedIdentifiers(const FoundUnits& AUnits);
    UsedSpellings UsedInFileAndIncludes(const IdentifierFilter& AShared);
    void AddPairs(const FoundUnits& AUnits, const std::u16string& AIdentifier);
    bool DeclaredBeforeAnyUse(const std::u16string& AIdentifier, std::u16string_view ASpelling, std::size_t AUpTo);
};

}  // namespace quorvel::detail
