#include "UnneededUnits.h"

#include <cstdint>
#include <optional>
#include <unordered_map>

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

// The sections that use something of AUnit: one of its names, its own name,
// or (acting unnamed) a helper or an operator it declares.
std::uint8_t SectionsUsing(const TIdentifierSet& AUnit, std::u16string_view AName, const FileUses& AUses) {
    std::uint8_t sections = 0;
    if (const auto own = AUses.find(FoldedFirstPart(AName)); own != AUses.end()) sections |= own->second;
    // The smaller side is walked, the other looked up.
    if (AUses.size() < AUnit.size()) {
        for (const auto& [identifier, used] : AUses) {
            if ((sections | used) != sections && AUnit.contains(identifier)) sections |= used;
            if (sections == kBoth) return sections;
        }
    }
    for (const std::u16string& identifier : AUnit) {
        if (identifier.starts_with(kHelperPrefix) || identifier.starts_with(kOperatorPrefix)) return kBoth;
        if (AUses.size() >= AUnit.size() && !IsPseudoIdentifier(identifier)) {
            if (const auto used = AUses.find(identifier); used != AUses.end()) sections |= used->second;
        }
        if (sections == kBoth) return sections;
    }
    return sections;
}

struct FoundUnit {
    std::size_t Entry;
    const TIdentifierSet* Set;  // nullptr: no source known
    std::uint8_t Sections = 0;
};

std::vector<FoundUnit> FindUnits(const ClauseUnits* AClause, const NameRules& ARules) {
    std::vector<FoundUnit> units;
    if (AClause == nullptr) return units;
    for (std::size_t i = 0; i < AClause->Names.size(); ++i) units.push_back({i, FindUnitSet(ARules, AClause->Names[i])});
    return units;
}

void ReadSections(std::vector<FoundUnit>& AUnits, const ClauseUnits* AClause, const FileUses& AUses) {
    for (FoundUnit& unit : AUnits) {
        unit.Sections = unit.Set ? SectionsUsing(*unit.Set, AClause->Names[unit.Entry], AUses) : std::uint8_t{kBoth};
    }
}

bool AnyKnown(const std::vector<FoundUnit>& AUnits) {
    for (const FoundUnit& unit : AUnits) {
        if (unit.Set != nullptr) return true;
    }
    return false;
}

// A unit that moves to the front of the implementation clause then comes after
// the interface units that followed it: it must share none of the names the
// implementation uses with those that stay (one without source may declare any).
std::u16string WhyNotMovable(const FoundUnit& AUnit, const std::vector<FoundUnit>& AInterface,
                             const std::vector<char>& AMoving, const ClauseUnits& AClause, const FileUses& AUses) {
    for (std::size_t k = AUnit.Entry + 1; k < AInterface.size(); ++k) {
        if (AMoving[k]) continue;
        const FoundUnit& later = AInterface[k];
        if (later.Set == nullptr) {
            if (!AClause.Names[k].empty()) return u"no source found for " + AClause.Names[k] + u", which follows it";
            continue;
        }
        for (const auto& [identifier, used] : AUses) {
            if ((used & kImplementation) && AUnit.Set->contains(identifier) && later.Set->contains(identifier))
                return AClause.Names[k] + u" declares " + identifier + u" too";
        }
    }
    return {};
}

}  // namespace

UnitFindings FindUnneededUnits(std::u16string_view AText, std::size_t AImplementationAt, const ClauseUnits* AFirst,
                               const ClauseUnits* ASecond, const NameRules& ARules) {
    if (ARules.Catalog == nullptr) return {};
    std::vector<FoundUnit> interfaceUnits = FindUnits(AFirst, ARules), implementationUnits = FindUnits(ASecond, ARules);
    if (!AnyKnown(interfaceUnits) && !AnyKnown(implementationUnits)) return {};
    const std::optional<FileUses> uses = ReadFileUses(AText, AImplementationAt, AFirst, ASecond, ARules);
    if (!uses) return {};
    ReadSections(interfaceUnits, AFirst, *uses);
    ReadSections(implementationUnits, ASecond, *uses);

    UnitFindings findings;
    const auto unneeded = [&](const std::vector<FoundUnit>& AUnits, std::vector<UnitFinding>& AFound) {
        for (const FoundUnit& unit : AUnits) {
            if (unit.Set == nullptr || unit.Sections != 0) continue;
            if (std::optional<std::u16string> through = InitCodeThrough(ARules, *unit.Set))
                AFound.push_back({UnitFindingKind::UnneededWithInit, unit.Entry, std::move(*through)});
            else
                AFound.push_back({UnitFindingKind::Unneeded, unit.Entry});
        }
    };
    unneeded(interfaceUnits, findings.First);
    unneeded(implementationUnits, findings.Second);
    if (AImplementationAt >= AText.size() || AFirst == nullptr) return findings;

    // Units that run code as the program starts stay: moving them changes when they start.
    std::vector<char> moving(interfaceUnits.size(), 0);
    std::vector<std::u16string> why(interfaceUnits.size());
    for (const FoundUnit& unit : interfaceUnits) {
        if (!unit.Set || unit.Sections != kImplementation) continue;
        moving[unit.Entry] = !InitCodeThrough(ARules, *unit.Set);
        if (!moving[unit.Entry]) why[unit.Entry] = u"it runs code as the program starts or ends";
    }
    // Each unit that cannot move may keep another from moving: until none changes.
    for (bool changed = true; changed;) {
        changed = false;
        for (const FoundUnit& unit : interfaceUnits) {
            if (!moving[unit.Entry]) continue;
            why[unit.Entry] = WhyNotMovable(unit, interfaceUnits, moving, *AFirst, *uses);
            if (!why[unit.Entry].empty()) moving[unit.Entry] = 0, changed = true;
        }
    }
    for (const FoundUnit& unit : interfaceUnits) {
        if (unit.Set && unit.Sections == kImplementation)
            findings.First.push_back({UnitFindingKind::ImplementationOnly, unit.Entry, std::move(why[unit.Entry])});
    }
    return findings;
}

}  // namespace quorvel::detail
