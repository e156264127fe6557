#include "UnneededUnits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "AsciiCase.h"
#include "IdentifierScan.h"
#include "IncludeWalker.h"
#include "InterfaceIdentifiers.h"

namespace quorvel::detail {
namespace {

// Where the file uses a name: before the implementation section, after it, or both.
enum Sections : std::uint8_t { kInterface = 1, kImplementation = 2, kBoth = 3 };

bool Inside(std::size_t AAt, const ClauseUnits* AClause) {
    return AClause != nullptr && AAt >= AClause->Range.Begin && AAt < AClause->Range.End;
}

// Names compared and hashed as the language does: ASCII letter case aside.
struct FoldedHash {
    std::size_t operator()(std::u16string_view AName) const {
        std::size_t hash = 14695981039346656037ull;
        for (char16_t unit : AName) hash = (hash ^ FoldAscii(unit)) * 1099511628211ull;
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(std::u16string_view ALeft, std::u16string_view ARight) const {
        return SameAsciiName(ALeft, ARight);
    }
};

// The names a file uses, each with the sections that use it; those of its
// include files count for both. The names stay views into the texts read.
class FileUses {
public:
    // What the text itself uses; whether it includes files is then known.
    void ReadText(std::u16string_view AText, std::size_t AImplementationAt, const ClauseUnits* AFirst,
                  const ClauseUnits* ASecond) {
        FUses.reserve(1024);
        const IdentifierScan scan = ScanIdentifiersBothWays(AText, [&](std::u16string_view AToken) {
            const auto at = static_cast<std::size_t>(AToken.data() - AText.data());
            if (Inside(at, AFirst) || Inside(at, ASecond)) return;
            FUses[AToken] |= at < AImplementationAt ? kInterface : kImplementation;
        });
        FIncludesFiles = scan.IncludesFiles;
    }
    bool IncludesFiles() const { return FIncludesFiles; }
    // Adds what the include files use; false when one cannot be read: what
    // the file uses is then not known.
    bool ReadIncludes(std::u16string_view AText, const NameRules& ARules) {
        static const TIncludeReader kNoReader;
        FIncluded.emplace(ARules.ReadInclude ? *ARules.ReadInclude : kNoReader);
        FIncluded->SetLexRules({false, true});
        FIncluded->Walk(AText, 0, {});
        if (!FIncluded->Complete()) return false;
        for (const std::u16string& text : FIncluded->Texts()) {
            ScanIdentifiersBothWays(text, [&](std::u16string_view AToken) { FUses[AToken] |= kBoth; });
        }
        return true;
    }

    std::size_t Size() const { return FUses.size(); }
    // The sections that use AFolded; 0: none.
    std::uint8_t Sections(std::u16string_view AFolded) const {
        const auto found = FUses.find(AFolded);
        return found == FUses.end() ? 0 : found->second;
    }
    // AVisit(folded name, sections) for each name until it returns false.
    template <typename Visit> void ForEach(Visit&& AVisit) const {
        if (FFolded.size() != FUses.size()) {
            // Folded once per file, however many units walk them.
            FFolded.clear();
            for (const auto& [name, sections] : FUses) FFolded.emplace_back(FoldAscii(name), sections);
        }
        for (const auto& [folded, sections] : FFolded) {
            if (!AVisit(folded, sections)) return;
        }
    }

private:
    std::unordered_map<std::u16string_view, std::uint8_t, FoldedHash, FoldedEqual> FUses;
    mutable std::vector<std::pair<std::u16string, std::uint8_t>> FFolded;  // FUses folded, once asked for
    std::optional<IncludeWalker> FIncluded;                                // holds the include files' texts
    bool FIncludesFiles = false;
};

std::u16string FoldedFirstPart(std::u16string_view AUnitName) {
    return FoldAscii(AUnitName.substr(0, AUnitName.find(u'.')));
}

struct FoundUnit {
    std::size_t Entry;
    const TIdentifierSet* Set;  // nullptr: no source known
    bool InImplementationClause;
    std::uint8_t Sections = 0;
};

// The sections that use something of AUnit: one of its names, its own name,
// or (acting unnamed) a helper or an operator it declares. A name a later unit
// declares too still counts: the reader takes every conditional branch, so
// that unit may not declare it in the build at hand.
std::uint8_t SectionsUsing(const FoundUnit& AUnit, std::u16string_view AName, const FileUses& AUses,
                           UnitEffectsCache& AEffects) {
    if (AEffects.ActsUnnamed(*AUnit.Set)) return kBoth;
    // The interface section sees no unit of the implementation clause.
    const std::uint8_t seen = AUnit.InImplementationClause ? std::uint8_t{kImplementation} : std::uint8_t{kBoth};
    // Enough is known once the unit is needed where it stands: a use in the
    // interface keeps an interface unit there, any use an implementation unit.
    const std::uint8_t enough = AUnit.InImplementationClause ? std::uint8_t{kImplementation} : std::uint8_t{kInterface};
    std::uint8_t sections = AUses.Sections(FoldedFirstPart(AName)) & seen;
    if (sections & enough) return sections;
    // The smaller side is walked, the other looked up.
    if (AUses.Size() < AUnit.Set->size()) {
        AUses.ForEach([&](const std::u16string& AIdentifier, std::uint8_t AUsed) {
            if ((sections | (AUsed & seen)) != sections && AUnit.Set->contains(AIdentifier)) sections |= AUsed & seen;
            return (sections & enough) == 0;
        });
        return sections;
    }
    for (const std::u16string& identifier : *AUnit.Set) {
        sections |= AUses.Sections(identifier) & seen;
        if (sections & enough) break;
    }
    return sections;
}

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
            if (!AClause.Names[k].empty())
                return u"no source was found for " + AClause.Names[k] + u", which follows it";
            continue;
        }
        std::u16string shared;
        AUses.ForEach([&](const std::u16string& AIdentifier, std::uint8_t AUsed) {
            if ((AUsed & kImplementation) && AUnit.Set->contains(AIdentifier) && later.Set->contains(AIdentifier))
                shared = AIdentifier;
            return shared.empty();
        });
        if (!shared.empty()) return AClause.Names[k] + u" declares " + shared + u" too";
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
    StartingUnits named, kept;  // those the needed units are; those they bring in, once asked for
    bool keptRead = false;
    for (const FoundUnit& unit : AUnits) {
        if (unit.Set && unit.Sections != 0) named.insert(unit.Set);
    }
    const auto keeps = [&](const TIdentifierSet* AStarting) {
        if (ARules.InitOrder) return false;
        if (named.contains(AStarting)) return true;
        if (!keptRead) {
            for (const TIdentifierSet* needed : named) {
                for (const auto& [set, name] : AEffects.StartingUnits(*needed, ARules)) kept.insert(set);
            }
            keptRead = true;
        }
        return kept.contains(AStarting);
    };
    for (const FoundUnit& unit : AUnits) {
        if (unit.Set == nullptr || unit.Sections != 0) continue;
        std::vector<UnitFinding>& found = unit.InImplementationClause ? findings.Second : findings.First;
        const auto& starting = AEffects.StartingUnits(*unit.Set, ARules);
        const auto alone = std::find_if(starting.begin(), starting.end(),
                                        [&](const auto& AStarting) { return !keeps(AStarting.first); });
        if (alone == starting.end()) {
            found.push_back({UnitFindingKind::Unneeded, unit.Entry});
            continue;
        }
        found.push_back({UnitFindingKind::UnneededWithInit, unit.Entry, alone->second});
        // It stays, and so does what it brings in.
        named.insert(unit.Set);
        for (const auto& [set, name] : starting) kept.insert(set);
    }
    return findings;
}

// The interface units only the implementation needs, each with why it cannot
// move, if it cannot.
std::vector<UnitFinding> ImplementationOnly(const std::vector<FoundUnit>& AUnits, const ClauseUnits& AClause,
                                            const FileUses& AUses, UnitEffectsCache& AEffects,
                                            const NameRules& ARules) {
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

const UnitEffectsCache::Starting& UnitEffectsCache::StartingUnits(const TIdentifierSet& AUnit,
                                                                  const NameRules& ARules) {
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
    FileUses uses;
    uses.ReadText(AText, AImplementationAt, AFirst, ASecond);
    const auto readSections = [&](bool AOnlyFindings) {
        bool findings = false;
        for (std::size_t k = 0; k < units.size(); ++k) {
            FoundUnit& unit = units[k];
            const auto isFinding = [&] {
                return unit.Sections == 0 || (unit.Sections == kImplementation && !unit.InImplementationClause);
            };
            if (AOnlyFindings && !isFinding()) continue;
            const ClauseUnits& clause = unit.InImplementationClause ? *ASecond : *AFirst;
            unit.Sections =
                unit.Set ? SectionsUsing(unit, clause.Names[unit.Entry], uses, AEffects) : std::uint8_t{kBoth};
            findings = findings || isFinding();
        }
        return findings;
    };
    // Include files are read only when the text itself leaves a unit unused
    // there: most files use every unit in their own text.
    if (readSections(false) && uses.IncludesFiles()) {
        if (!uses.ReadIncludes(AText, ARules)) return {};
        readSections(true);
    }
    UnitFindings findings = Unneeded(units, AEffects, ARules);
    if (AFirst != nullptr && AImplementationAt < AText.size()) {
        std::vector<UnitFinding> moves = ImplementationOnly(units, *AFirst, uses, AEffects, ARules);
        findings.First.insert(findings.First.end(), moves.begin(), moves.end());
    }
    return findings;
}

}  // namespace quorvel::detail
