#include "NameConstraints.h"

#include <algorithm>

#include "InterfaceIdentifiers.h"
#include "UnitFactsCache.h"
#include "UsedIdentifiers.h"

namespace quorvel::detail {
namespace {

const TIdentifierSet* FindUnit(const NameRules& ARules, std::u16string_view AName) {
    if (AName.empty()) return nullptr;
    if (const TIdentifierSet* set = ARules.Catalog->F_FindUnit(AName)) return set;
    std::u16string scoped;
    for (const std::u16string& scope : *ARules.ScopeNames) {
        scoped.assign(scope).append(u".").append(AName);
        if (const TIdentifierSet* set = ARules.Catalog->F_FindUnit(scoped)) return set;
    }
    return nullptr;
}

}  // namespace

std::vector<Constraint> ConstraintFinder::Find(const std::vector<std::u16string>& ANames) {
    const FoundUnits found = FindUnits(ANames);
    if (found.size() < 2) return {};
    std::u16string key;
    for (const auto& [identifier, spelling] : UsedSharedIdentifiers(found)) {
        key.assign(identifier);
        if (!spelling.empty()) FSpellings.try_emplace(key, spelling);
        AddPairs(found, key);
    }
    std::vector<Constraint> constraints;
    for (auto& [pair, identifiers] : FPairs) {
        std::sort(identifiers.begin(), identifiers.end());
        constraints.push_back({pair.first, pair.second, std::move(identifiers)});
    }
    return constraints;
}

std::u16string ConstraintFinder::Spelling(const std::u16string& AFolded) const {
    if (AFolded.starts_with(kHelperPrefix)) return u"helper for " + AFolded.substr(kHelperPrefix.size());
    const auto found = FSpellings.find(AFolded);
    return found == FSpellings.end() ? AFolded : std::u16string(found->second);
}

// The units whose source the catalog knows; the others are told to it.
ConstraintFinder::FoundUnits ConstraintFinder::FindUnits(const std::vector<std::u16string>& ANames) const {
    FoundUnits found;
    for (std::size_t i = 0; i < ANames.size(); ++i) {
        if (const TIdentifierSet* set = FindUnit(FRules, ANames[i])) {
            found.emplace_back(i, set);
        } else if (!ANames[i].empty()) {
            FRules.Catalog->NoteUnitWithoutSource(ANames[i]);
        }
    }
    return found;
}

// The identifiers two of AUnits declare that the file uses, with its spellings;
// helpers without a spelling, as they are active without being named.
ConstraintFinder::UsedSpellings ConstraintFinder::UsedSharedIdentifiers(const FoundUnits& AUnits) {
    IdentifierFilter shared;
    std::vector<std::u16string_view> helpers;
    std::vector<const TIdentifierSet*> sets;
    for (const auto& entry : AUnits) sets.push_back(entry.second);
    for (const std::vector<std::u16string>* identifiers : FRules.Facts->SharedByPairs(sets)) {
        for (const std::u16string& identifier : *identifiers) {
            if (identifier.starts_with(kHelperPrefix)) helpers.push_back(identifier);
            else shared.Add(identifier);
        }
    }
    UsedSpellings used;
    if (!shared.IsEmpty()) used = UsedInFileAndIncludes(shared);
    for (std::u16string_view helper : helpers) used.try_emplace(helper);
    return used;
}

// An include file that cannot be read may use any of them: all count then.
ConstraintFinder::UsedSpellings ConstraintFinder::UsedInFileAndIncludes(const IdentifierFilter& AShared) {
    UsedIdentifiers found = UsedAmong(FRules.Text(), AShared);
    auto used = std::move(found.Spellings);
    if (!found.IncludesFiles) return used;
    static const TIncludeReader kNoReader;
    FIncluded.emplace(FRules.ReadInclude ? *FRules.ReadInclude : kNoReader);
    FIncluded->Walk(FRules.Text(), 0, {});
    if (!FIncluded->Complete()) {
        AShared.ForEach([&](std::u16string_view AIdentifier) { used.try_emplace(AIdentifier); });
        return used;
    }
    for (const std::u16string& text : FIncluded->Texts()) used.merge(UsedAmong(text, AShared).Spellings);
    return used;
}

// The last unit declaring AIdentifier stays after each other one that does.
void ConstraintFinder::AddPairs(const FoundUnits& AUnits, const std::u16string& AIdentifier) {
    std::vector<std::size_t> declaring;
    for (const auto& [index, set] : AUnits) {
        if (set->contains(AIdentifier)) declaring.push_back(index);
    }
    for (std::size_t k = 0; k + 1 < declaring.size(); ++k) {
        FPairs[{declaring[k], declaring.back()}].push_back(AIdentifier);
    }
}

}  // namespace quorvel::detail
