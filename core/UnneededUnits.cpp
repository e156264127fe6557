#include "UnneededUnits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "IdentifierScan.h"
#include "IncludeWalker.h"
#include "InterfaceIdentifiers.h"

namespace quorvel::detail {
namespace {

// Where the file uses a name: before the implementation section, after it, or both.
enum Sections : std::uint8_t { kInterface = 1, kImplementation = 2, kBoth = 3 };

// Folded identifier -> the sections that use it.
using FileUses = std::unordered_map<std::u16string, std::uint8_t>;

bool Inside(std::size_t AAt, const ClauseUnits* AClause) {
    return AClause != nullptr && AAt >= AClause->Range.Begin && AAt < AClause->Range.End;
}

// The names the file uses, each with its sections; those of include files
// count for both. Nothing when an include file cannot be read.
std::optional<FileUses> ReadFileUses(std::u16string_view AText, std::size_t AImplementationAt,
                                     const ClauseUnits* AFirst, const ClauseUnits* ASecond, const NameRules& ARules) {
    FileUses uses;
    uses.reserve(512);
    std::u16string folded;
    const auto add = [&](std::u16string_view AToken, std::uint8_t ASections) {
        folded.assign(AToken);
        for (char16_t& unit : folded) unit = FoldAscii(unit);
        uses[folded] |= ASections;
    };
    const IdentifierScan scan = ScanIdentifiersBothWays(AText, [&](std::u16string_view AToken) {
        const auto at = static_cast<std::size_t>(AToken.data() - AText.data());
        if (Inside(at, AFirst) || Inside(at, ASecond)) return;
        add(AToken, at < AImplementationAt ? kInterface : kImplementation);
    });
    if (!scan.IncludesFiles) return uses;
    static const TIncludeReader kNoReader;
    IncludeWalker included(ARules.ReadInclude ? *ARules.ReadInclude : kNoReader);
    included.SetLexRules({false, true});
    included.Walk(AText, 0, {});
    if (!included.Complete()) return std::nullopt;
    for (const std::u16string& text : included.Texts()) {
        ScanIdentifiersBothWays(text, [&](std::u16string_view AToken) { add(AToken, kBoth); });
    }
    return uses;
}

std::u16string FoldedFirstPart(std::u16string_view AUnitName) {
    std::u16string part(AUnitName.substr(0, AUnitName.find(u'.')));
    for (char16_t& unit : part) unit = FoldAscii(unit);
    return part;
}

struct FoundUnit {
    std::size_t Entry;
    const TIdentifierSet* Set;  // nullptr: no source known
    bool InImplementationClause;
    std::uint8_t Sections = 0;
};

// The units of both clauses in the order the compiler searches them,
// backwards: the interface clause's, then the implementation clause's.
class UnitScope {
public:
    UnitScope(std::vector<FoundUnit>& AUnits, const FileUses& AUses, UnitEffectsCache& AEffects)
        : FUnits(AUnits), FUses(AUses), FEffects(AEffects) {}

    // The sections that use something of the unit at AIndex: one of its
    // names that no later unit hides, its own name, or (acting unnamed) a
    // helper or an operator it declares.
    std::uint8_t SectionsUsing(std::size_t AIndex, std::u16string_view AName) const {
        const FoundUnit& unit = FUnits[AIndex];
        if (FEffects.ActsUnnamed(*unit.Set)) return kBoth;
        std::uint8_t sections = 0;
        if (const auto own = FUses.find(FoldedFirstPart(AName)); own != FUses.end()) sections |= own->second;
        const auto count = [&](const std::u16string& AIdentifier, std::uint8_t AUsed) {
            // The interface section sees no unit of the implementation clause.
            if (unit.InImplementationClause) AUsed &= kImplementation;
            for (const Sections section : {kInterface, kImplementation}) {
                if ((AUsed & section) && !(sections & section) && !Hidden(AIndex, section, AIdentifier)) sections |= section;
            }
        };
        // The smaller side is walked, the other looked up.
        if (FUses.size() < unit.Set->size()) {
            for (const auto& [identifier, used] : FUses) {
                if ((sections | used) != sections && unit.Set->contains(identifier)) count(identifier, used);
                if (sections == kBoth) break;
            }
            return sections;
        }
        for (const std::u16string& identifier : *unit.Set) {
            if (const auto used = FUses.find(identifier); used != FUses.end()) count(identifier, used->second);
            if (sections == kBoth) break;
        }
        return sections;
    }

private:
    std::vector<FoundUnit>& FUnits;
    const FileUses& FUses;
    UnitEffectsCache& FEffects;

    // A later unit the section sees declares AIdentifier too, and so supplies
    // it; unless either has it as an overloaded routine, when the search may
    // go on to earlier units. A unit without source hides nothing known.
    bool Hidden(std::size_t AIndex, Sections ASection, const std::u16string& AIdentifier) const {
        const std::u16string overload = std::u16string(kOverloadPrefix) + AIdentifier;
        for (std::size_t later = AIndex + 1; later < FUnits.size(); ++later) {
            const FoundUnit& unit = FUnits[later];
            if (ASection == kInterface && unit.InImplementationClause) break;
            if (!unit.Set || !unit.Set->contains(AIdentifier)) continue;
            return !FUnits[AIndex].Set->contains(overload) && !unit.Set->contains(overload);
        }
        return false;
    }
};

std::vector<FoundUnit> FindUnits(const ClauseUnits* AFirst, const ClauseUnits* ASecond, const NameRules& ARules) {
    std::vector<FoundUnit> units;
    for (const ClauseUnits* clause : {AFirst, ASecond}) {
        if (clause == nullptr) continue;
        for (std::size_t i = 0; i < clause->Names.size(); ++i)
            units.push_back({i, FindUnitSet(ARules, clause->Names[i]), clause == ASecond});
    }
    return units;
}

// A unit that moves to the front of the implementation clause then comes after
// the interface units that followed it: it must share none of the names the
// implementation uses with those that stay (one without source may declare any).
std::u16string WhyNotMovable(const FoundUnit& AUnit, const std::vector<FoundUnit>& AUnits,
                             const std::vector<char>& AMoving, const ClauseUnits& AClause, const FileUses& AUses) {
    for (std::size_t k = AUnit.Entry + 1; k < AClause.Names.size(); ++k) {
        if (AMoving[k]) continue;
        const FoundUnit& later = AUnits[k];
        if (later.Set == nullptr) {
            if (!AClause.Names[k].empty()) return u"no source was found for " + AClause.Names[k] + u", which follows it";
            continue;
        }
        for (const auto& [identifier, used] : AUses) {
            if ((used & kImplementation) && AUnit.Set->contains(identifier) && later.Set->contains(identifier))
                return AClause.Names[k] + u" declares " + identifier + u" too";
        }
    }
    return {};
}

bool AnyKnown(const std::vector<FoundUnit>& AUnits) {
    return std::any_of(AUnits.begin(), AUnits.end(), [](const FoundUnit& AUnit) { return AUnit.Set != nullptr; });
}

// The units with start code the program keeps through the units the file needs.
using StartingUnits = std::unordered_set<const TIdentifierSet*>;

// Each unit nothing needs, in clause order: one whose removal would drop
// start code from the program (its own, or that of a unit only it brings in)
// stays, and what it brings in then counts as kept. With the start order kept,
// any start code it brings in keeps it.
UnitFindings Unneeded(const std::vector<FoundUnit>& AUnits, UnitEffectsCache& AEffects, const NameRules& ARules) {
    UnitFindings findings;
    StartingUnits kept;
    bool keptKnown = false;
    for (const FoundUnit& unit : AUnits) {
        if (unit.Set == nullptr || unit.Sections != 0) continue;
        if (!keptKnown) {
            for (const FoundUnit& needed : AUnits) {
                if (!needed.Set || needed.Sections == 0) continue;
                for (const auto& [set, name] : AEffects.StartingUnits(*needed.Set, ARules)) kept.insert(set);
            }
            keptKnown = true;
        }
        std::vector<UnitFinding>& found = unit.InImplementationClause ? findings.Second : findings.First;
        const auto& starting = AEffects.StartingUnits(*unit.Set, ARules);
        const auto alone = std::find_if(starting.begin(), starting.end(), [&](const auto& AStarting) {
            return ARules.InitOrder || !kept.contains(AStarting.first);
        });
        if (alone == starting.end()) {
            found.push_back({UnitFindingKind::Unneeded, unit.Entry});
            continue;
        }
        found.push_back({UnitFindingKind::UnneededWithInit, unit.Entry, alone->second});
        for (const auto& [set, name] : starting) kept.insert(set);
    }
    return findings;
}

// The interface units only the implementation needs, each with why it cannot
// move, if it cannot.
std::vector<UnitFinding> ImplementationOnly(const std::vector<FoundUnit>& AUnits, const ClauseUnits& AClause,
                                            const FileUses& AUses, UnitEffectsCache& AEffects, const NameRules& ARules) {
    const std::size_t count = AClause.Names.size();
    // With the start order kept, units that run start code stay: moving them changes when it runs.
    std::vector<char> moving(count, 0);
    std::vector<std::u16string> why(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (!AUnits[k].Set || AUnits[k].Sections != kImplementation) continue;
        moving[k] = !ARules.InitOrder || AEffects.StartingUnits(*AUnits[k].Set, ARules).empty();
        if (!moving[k]) why[k] = u"it runs code as the program starts or ends";
    }
    // Each unit that cannot move may keep another from moving: until none changes.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t k = 0; k < count; ++k) {
            if (!moving[k]) continue;
            why[k] = WhyNotMovable(AUnits[k], AUnits, moving, AClause, AUses);
            if (!why[k].empty()) moving[k] = 0, changed = true;
        }
    }
    std::vector<UnitFinding> found;
    for (std::size_t k = 0; k < count; ++k) {
        if (AUnits[k].Set && AUnits[k].Sections == kImplementation)
            found.push_back({UnitFindingKind::ImplementationOnly, k, std::move(why[k])});
    }
    return found;
}

}  // namespace

bool UnitEffectsCache::ActsUnnamed(const TIdentifierSet& AUnit) {
    {
        const std::lock_guard lock(FMutex);
        if (const auto known = FActsUnnamed.find(&AUnit); known != FActsUnnamed.end()) return known->second;
    }
    const bool acts = std::any_of(AUnit.begin(), AUnit.end(), [](const std::u16string& AIdentifier) {
        return AIdentifier.starts_with(kHelperPrefix) || AIdentifier.starts_with(kOperatorPrefix);
    });
    const std::lock_guard lock(FMutex);
    FActsUnnamed.emplace(&AUnit, acts);
    return acts;
}

const UnitEffectsCache::Starting& UnitEffectsCache::DirectUses(const TIdentifierSet& AUnit, const NameRules& ARules) {
    {
        const std::lock_guard lock(FMutex);
        if (const auto known = FDirectUses.find(&AUnit); known != FDirectUses.end()) return known->second;
    }
    Starting uses;
    for (const std::u16string& fact : AUnit) {
        if (!fact.starts_with(kUsesPrefix)) continue;
        const std::u16string_view name = std::u16string_view(fact).substr(kUsesPrefix.size());
        if (const TIdentifierSet* used = FindUnitSet(ARules, name)) uses.emplace_back(used, name);
    }
    const std::lock_guard lock(FMutex);
    return FDirectUses.emplace(&AUnit, std::move(uses)).first->second;
}

const UnitEffectsCache::Starting& UnitEffectsCache::StartingUnits(const TIdentifierSet& AUnit, const NameRules& ARules) {
    {
        const std::lock_guard lock(FMutex);
        if (const auto known = FStarting.find(&AUnit); known != FStarting.end()) return known->second;
    }
    // Breadth first over each unit's uses, read once per unit.
    Starting starting;
    if (AUnit.contains(std::u16string(kInitCode))) starting.emplace_back(&AUnit, std::u16string());
    std::vector<const TIdentifierSet*> queue = {&AUnit};
    std::unordered_set<const TIdentifierSet*> seen = {&AUnit};
    for (std::size_t next = 0; next < queue.size(); ++next) {
        for (const auto& [used, name] : DirectUses(*queue[next], ARules)) {
            if (!seen.insert(used).second) continue;
            if (used->contains(std::u16string(kInitCode))) starting.emplace_back(used, name);
            queue.push_back(used);
        }
    }
    const std::lock_guard lock(FMutex);
    return FStarting.emplace(&AUnit, std::move(starting)).first->second;
}

UnitFindings FindUnneededUnits(std::u16string_view AText, std::size_t AImplementationAt, const ClauseUnits* AFirst,
                               const ClauseUnits* ASecond, const NameRules& ARules, UnitEffectsCache& AEffects) {
    if (ARules.Catalog == nullptr) return {};
    std::vector<FoundUnit> units = FindUnits(AFirst, ASecond, ARules);
    if (!AnyKnown(units)) return {};
    const std::optional<FileUses> uses = ReadFileUses(AText, AImplementationAt, AFirst, ASecond, ARules);
    if (!uses) return {};
    const UnitScope scope(units, *uses, AEffects);
    for (std::size_t k = 0; k < units.size(); ++k) {
        const ClauseUnits& clause = units[k].InImplementationClause ? *ASecond : *AFirst;
        units[k].Sections = units[k].Set ? scope.SectionsUsing(k, clause.Names[units[k].Entry]) : std::uint8_t{kBoth};
    }
    UnitFindings findings = Unneeded(units, AEffects, ARules);
    if (AFirst != nullptr && AImplementationAt < AText.size()) {
        std::vector<UnitFinding> moves = ImplementationOnly(units, *AFirst, *uses, AEffects, ARules);
        findings.First.insert(findings.First.end(), moves.begin(), moves.end());
    }
    return findings;
}

}  // namespace quorvel::detail
