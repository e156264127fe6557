#include "UnitEffectsCache.h"

#include <algorithm>

#include "FileUses.h"
#include "InterfaceIdentifiers.h"

namespace quorvel::detail {

const TUnitLinks* UnitEffectsCache::FindLinks(const NameRules& ARules, std::u16string_view AName) {
    if (const TUnitLinks* links = ARules.Catalog->F_FindUnitLinks(AName)) return links;
    const TIdentifierSet* set = ARules.Catalog->F_FindUnit(AName);
    if (set == nullptr) return nullptr;
    const std::lock_guard lock(FMutex);
    const auto [read, fresh] = FLinksRead.try_emplace(set);
    if (fresh) read->second = F_UnitLinks(*set);
    return &read->second;
}

const UnitEffectsCache::Unit* UnitEffectsCache::Find(const NameRules& ARules, std::u16string_view AName) {
    std::u16string name(AName);
    {
        const std::lock_guard lock(FMutex);
        if (const auto known = FByName.find(name); known != FByName.end()) return known->second;
    }
    const TUnitLinks* links =
        FindWithScopeNames(ARules, AName, [&](std::u16string_view AFull) { return FindLinks(ARules, AFull); });
    const std::lock_guard lock(FMutex);
    const Unit* unit = nullptr;
    if (links != nullptr) {
        const Unit*& known = FByLinks[links];
        if (known == nullptr)
            known = &FUnits.emplace_back(*links, FUnits.size(), links->InitCode ? FStartingUnits++ : std::size_t{0});
        unit = known;
    }
    FByName.emplace(std::move(name), unit);
    return unit;
}

NameFilter::NameFilter(const TIdentifierSet& AIdentifiers) {
    // About eight bits a name and two bits each: one name in twenty passes wrongly.
    std::uint32_t bits = 64;
    while (bits < AIdentifiers.size() * 8 && bits < (1u << 30)) bits *= 2;
    FBits.assign(bits / 64, 0);
    FMask = bits - 1;
    for (const std::u16string& identifier : AIdentifiers) {
        const std::uint32_t hash = FoldedNameHash(identifier), second = hash >> 13 | hash << 19;
        FBits[(hash & FMask) / 64] |= std::uint64_t{1} << (hash & 63);
        FBits[(second & FMask) / 64] |= std::uint64_t{1} << (second & 63);
    }
}

// Made outside the lock; a race makes one twice and keeps the first.
const UnitEffectsCache::SetFacts& UnitEffectsCache::FactsOf(const TIdentifierSet& AUnit) {
    {
        const std::lock_guard lock(FMutex);
        if (const auto known = FSetFacts.find(&AUnit); known != FSetFacts.end()) return known->second;
    }
    const bool acts = std::any_of(AUnit.begin(), AUnit.end(), [](const std::u16string& AIdentifier) {
        return AIdentifier.starts_with(kHelperPrefix) || AIdentifier.starts_with(kOperatorPrefix);
    });
    SetFacts facts{acts, NameFilter(AUnit)};
    const std::lock_guard lock(FMutex);
    return FSetFacts.emplace(&AUnit, std::move(facts)).first->second;
}

const UnitEffectsCache::Uses& UnitEffectsCache::DirectUses(const Unit& AUnit, const NameRules& ARules) {
    std::call_once(AUnit.FUsesRead, [&] {
        for (const std::u16string& name : AUnit.Links.Uses) {
            if (const Unit* used = Find(ARules, name)) AUnit.FUses.emplace_back(used, name);
        }
    });
    return AUnit.FUses;
}

template <typename Visit>
void UnitEffectsCache::WalkBroughtIn(const Unit& AUnit, const NameRules& ARules, Visit&& AVisit) {
    std::vector<const Unit*> queue = {&AUnit};
    UnitMarks seen;
    seen.Mark(AUnit);
    for (std::size_t next = 0; next < queue.size(); ++next) {
        for (const auto& [used, name] : DirectUses(*queue[next], ARules)) {
            if (!seen.Mark(*used)) continue;
            if (!AVisit(*used, name)) return;
            queue.push_back(used);
        }
    }
}

const UnitEffectsCache::Starting& UnitEffectsCache::StartingUnits(const Unit& AUnit, const NameRules& ARules) {
    std::call_once(AUnit.FStartingRead, [&] {
        Starting& starting = AUnit.FStarting;
        if (AUnit.Links.InitCode) starting.push_back({&AUnit, {}});
        WalkBroughtIn(AUnit, ARules, [&](const Unit& AUsed, std::u16string_view AName) {
            if (AUsed.Links.InitCode) starting.push_back({&AUsed, AName});
            return true;
        });
    });
    return AUnit.FStarting;
}

std::optional<std::u16string_view> UnitEffectsCache::FirstStarting(const Unit& AUnit, const NameRules& ARules) {
    if (AUnit.Links.InitCode) return std::u16string_view();
    std::optional<std::u16string_view> first;
    WalkBroughtIn(AUnit, ARules, [&](const Unit& AUsed, std::u16string_view AName) {
        if (AUsed.Links.InitCode) first = AName;
        return !first;
    });
    return first;
}

const StartingSet& UnitEffectsCache::StartingSetOf(const Unit& AUnit, const NameRules& ARules) {
    if (!AUnit.FSetFilled.load(std::memory_order_acquire)) {
        const std::lock_guard lock(FSetsMutex);
        FillStartingSets(AUnit, ARules);
    }
    return AUnit.FStartingSet;
}

// Tarjan's walk, without recursion: units that bring each other in (through
// their implementation clauses) bring in the same units, and each component's
// set joins those of the components it reaches, which are complete by then.
// Units filled by an earlier walk end a path.
void UnitEffectsCache::FillStartingSets(const Unit& ARoot, const NameRules& ARules) {
    if (ARoot.FSetFilled.load(std::memory_order_relaxed)) return;
    const std::size_t walk = ++FWalks;
    std::size_t counter = 0;
    std::vector<const Unit*> component;
    std::vector<std::pair<const Unit*, std::size_t>> path;  // each unit with its next use to follow
    const auto enter = [&](const Unit& AUnit) {
        AUnit.FWalk = walk;
        AUnit.FIndex = AUnit.FLowest = counter++;
        AUnit.FOnStack = true;
        component.push_back(&AUnit);
        path.emplace_back(&AUnit, 0);
    };
    enter(ARoot);
    while (!path.empty()) {
        auto& [unit, next] = path.back();
        const Uses& uses = DirectUses(*unit, ARules);
        if (next < uses.size()) {
            const Unit& used = *uses[next++].first;
            if (used.FSetFilled.load(std::memory_order_relaxed)) continue;
            if (used.FWalk != walk) {
                enter(used);
            } else if (used.FOnStack) {
                unit->FLowest = std::min(unit->FLowest, used.FIndex);
            }
            continue;
        }
        const Unit& done = *unit;
        path.pop_back();
        if (!path.empty()) path.back().first->FLowest = std::min(path.back().first->FLowest, done.FLowest);
        if (done.FLowest != done.FIndex) continue;
        // done heads a component: the units above it on the stack.
        const auto first = std::find(component.begin(), component.end(), &done);
        StartingSet set;
        for (auto member = first; member != component.end(); ++member) {
            if ((*member)->Links.InitCode) set.Add((*member)->StartNumber);
            for (const auto& [used, name] : DirectUses(**member, ARules)) {
                if (used->FSetFilled.load(std::memory_order_relaxed)) set.Add(used->FStartingSet);
            }
        }
        for (auto member = first; member != component.end(); ++member) {
            (*member)->FStartingSet = set;
            (*member)->FOnStack = false;
            (*member)->FSetFilled.store(true, std::memory_order_release);
        }
        component.erase(first, component.end());
    }
}

}  // namespace quorvel::detail
