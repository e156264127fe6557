#include "UnneededUnits.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "AsciiCase.h"
#include "InterfaceIdentifiers.h"

namespace quorvel::detail {
namespace {

std::u16string_view FirstPart(std::u16string_view AUnitName) { return AUnitName.substr(0, AUnitName.find(u'.')); }

struct FoundUnit {
    std::size_t Entry;
    const TIdentifierSet* Set;            // nullptr: no source known
    const UnitEffectsCache::Unit* Links;  // the same unit, for what it brings in
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
    std::uint8_t sections = AUses.Sections(FirstPart(AName)) & seen;
    if (sections & enough) return sections;
    // The smaller side is walked, the other looked up.
    if (AUses.Size() < AUnit.Set->size()) {
        const NameFilter& names = AEffects.NamesOf(*AUnit.Set);
        AUses.ForEach([&](std::u16string_view AIdentifier, std::uint8_t AUsed, std::uint32_t AHash) {
            if ((sections | (AUsed & seen)) != sections && names.MayHold(AHash) &&
                AUnit.Set->contains(FoldAscii(AIdentifier)))
                sections |= AUsed & seen;
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

std::vector<FoundUnit> FindUnits(const ClauseUnits* AFirst, const ClauseUnits* ASecond, const NameRules& ARules,
                                 UnitEffectsCache& AEffects) {
    std::vector<FoundUnit> units;
    for (const ClauseUnits* clause : {AFirst, ASecond}) {
        if (clause == nullptr) continue;
        for (std::size_t i = 0; i < clause->Names.size(); ++i) {
            const TIdentifierSet* set = FindUnitSet(ARules, clause->Names[i]);
            const UnitEffectsCache::Unit* links = set ? AEffects.Find(ARules, clause->Names[i]) : nullptr;
            units.push_back({i, links ? set : nullptr, links, clause == ASecond});
        }
    }
    return units;
}

// The names the implementation uses that AUnit declares: few, so that the
// units after it are asked about those alone.
std::vector<std::u16string> DeclaredForImplementation(const FoundUnit& AUnit, const FileUses& AUses,
                                                      UnitEffectsCache& AEffects) {
    std::vector<std::u16string> declared;
    const NameFilter& names = AEffects.NamesOf(*AUnit.Set);
    AUses.ForEach([&](std::u16string_view AIdentifier, std::uint8_t AUsed, std::uint32_t AHash) {
        if (!(AUsed & kImplementation) || !names.MayHold(AHash)) return true;
        std::u16string folded = FoldAscii(AIdentifier);
        if (AUnit.Set->contains(folded)) declared.push_back(std::move(folded));
        return true;
    });
    return declared;
}

// A unit that moves to the front of the implementation clause then comes after
// the interface units that followed it: it must share none of the names the
// implementation uses with those that stay (one without source may declare any).
std::u16string WhyNotMovable(const FoundUnit& AUnit, const std::vector<std::u16string>& ADeclared,
                             const std::vector<FoundUnit>& AUnits, const std::vector<char>& AMoving,
                             const ClauseUnits& AClause) {
    for (std::size_t k = AUnit.Entry + 1; k < AClause.Names.size(); ++k) {
        if (AMoving[k]) continue;
        const FoundUnit& later = AUnits[k];
        if (later.Set == nullptr) {
            if (!AClause.Names[k].empty())
                return u"no source was found for " + AClause.Names[k] + u", which follows it";
            continue;
        }
        for (const std::u16string& identifier : ADeclared) {
            if (later.Set->contains(identifier)) return AClause.Names[k] + u" declares " + identifier + u" too";
        }
    }
    return {};
}

bool AnyKnown(const std::vector<FoundUnit>& AUnits) {
    return std::any_of(AUnits.begin(), AUnits.end(), [](const FoundUnit& AUnit) { return AUnit.Set != nullptr; });
}

// Each unit nothing needs, in clause order: one whose removal would drop
// start code from the program (its own, or that of a unit only it brings in)
// stays, and what it brings in then counts as kept. With the start order kept,
// any start code it brings in keeps it.
UnitFindings Unneeded(const std::vector<FoundUnit>& AUnits, UnitEffectsCache& AEffects, const NameRules& ARules) {
    UnitFindings findings;
    StartingSet kept;  // the units with start code the needed units bring in, once asked for
    bool keptRead = false;
    for (const FoundUnit& unit : AUnits) {
        if (unit.Links == nullptr || unit.Sections != 0) continue;
        std::vector<UnitFinding>& found = unit.InImplementationClause ? findings.Second : findings.First;
        const StartingSet& starting = AEffects.StartingSetOf(*unit.Links, ARules);
        if (!ARules.InitOrder && !keptRead && !starting.Empty()) {
            for (const FoundUnit& needed : AUnits) {
                if (needed.Links && needed.Sections != 0) kept.Add(AEffects.StartingSetOf(*needed.Links, ARules));
            }
            keptRead = true;
        }
        // With the start order kept, any start code keeps it, even code a unit kept before brings in too.
        if (starting.Empty() || (!ARules.InitOrder && !starting.Outside(kept))) {
            found.push_back({UnitFindingKind::Unneeded, unit.Entry});
            continue;
        }
        // Named as the walk meets it, nearest first.
        const UnitEffectsCache::Starting& ordered = AEffects.StartingUnits(*unit.Links, ARules);
        const auto alone = std::find_if(ordered.begin(), ordered.end(), [&](const auto& AStarting) {
            return !kept.Contains(AStarting.Starts->StartNumber);
        });
        const std::u16string_view name = alone == ordered.end() ? std::u16string_view() : alone->Name;
        found.push_back({UnitFindingKind::UnneededWithInit, unit.Entry, std::u16string(name)});
        kept.Add(starting);  // it stays, and so does what it brings in
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
        moving[k] = !ARules.InitOrder || AEffects.StartingSetOf(*AUnits[k].Links, ARules).Empty();
        if (!moving[k]) why[k] = u"it runs code as the program starts or ends";
    }
    std::vector<std::vector<std::u16string>> declared(count);
    for (std::size_t k = 0; k < count; ++k) {
        if (moving[k]) declared[k] = DeclaredForImplementation(AUnits[k], AUses, AEffects);
    }
    // Each unit that cannot move may keep another from moving: until none changes.
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t k = 0; k < count; ++k) {
            if (!moving[k]) continue;
            why[k] = WhyNotMovable(AUnits[k], declared[k], AUnits, moving, AClause);
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

UnitFindings FindUnneededUnits(std::u16string_view AText, std::size_t AImplementationAt, const ClauseUnits* AFirst,
                               const ClauseUnits* ASecond, const NameRules& ARules) {
    if (ARules.Catalog == nullptr) return {};
    UnitEffectsCache& effects = *ARules.Effects;
    std::vector<FoundUnit> units = FindUnits(AFirst, ASecond, ARules, effects);
    if (!AnyKnown(units)) return {};
    std::vector<TextRange> clauses;
    for (const ClauseUnits* clause : {AFirst, ASecond}) {
        if (clause != nullptr) clauses.push_back(clause->Range);
    }
    // Kept for the name rule, which then need not read the text again.
    FileUses& uses = ARules.Read.Uses.emplace();
    uses.ReadText(AText, AImplementationAt, clauses);
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
                unit.Set ? SectionsUsing(unit, clause.Names[unit.Entry], uses, effects) : std::uint8_t{kBoth};
            findings = findings || isFinding();
        }
        return findings;
    };
    // Include files are read only when the text itself leaves a unit unused
    // there: most files use every unit in their own text. When one cannot be
    // read, what the file uses is not known.
    if (readSections(false) && uses.IncludesFiles()) {
        const IncludedTexts& included = ReadIncludedTexts(ARules, uses.IncludeNames());
        if (!included.Complete) return {};
        for (const std::u16string& text : included.Texts) uses.ReadIncluded(text);
        readSections(true);
    }
    UnitFindings findings = Unneeded(units, effects, ARules);
    if (AFirst != nullptr && AImplementationAt < AText.size()) {
        std::vector<UnitFinding> moves = ImplementationOnly(units, *AFirst, uses, effects, ARules);
        findings.First.insert(findings.First.end(), moves.begin(), moves.end());
    }
    return findings;
}

}  // namespace quorvel::detail
