#pragma once
// What units do besides declaring names: act unnamed (helpers, operators),
// bring in other units, run code as the program starts or ends. Asked once
// per unit however many files use it; what units bring in is followed through
// their links only, so that units no file names are never read whole.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "NameConstraints.h"
#include "UnitInterface.h"

namespace quorvel::detail {

// A set of units with start code, by their start numbers.
class StartingSet {
public:
    void Add(std::size_t ANumber) {
        if (ANumber / 64 >= FWords.size()) FWords.resize(ANumber / 64 + 1);
        FWords[ANumber / 64] |= std::uint64_t{1} << (ANumber % 64);
    }
    void Add(const StartingSet& AOther) {
        if (AOther.FWords.size() > FWords.size()) FWords.resize(AOther.FWords.size());
        for (std::size_t k = 0; k < AOther.FWords.size(); ++k) FWords[k] |= AOther.FWords[k];
    }
    bool Contains(std::size_t ANumber) const {
        return ANumber / 64 < FWords.size() && (FWords[ANumber / 64] >> (ANumber % 64) & 1) != 0;
    }
    bool Empty() const { return !Outside(StartingSet()); }
    // Whether it holds a unit AOther does not.
    bool Outside(const StartingSet& AOther) const {
        for (std::size_t k = 0; k < FWords.size(); ++k) {
            if ((FWords[k] & ~(k < AOther.FWords.size() ? AOther.FWords[k] : 0)) != 0) return true;
        }
        return false;
    }

private:
    std::vector<std::uint64_t> FWords;
};

// A quick test whether a unit may declare a name, by FoldedNameHash: most
// names a file uses are not among a unit's, and this tells most of them so
// without hashing the name again for each unit.
class NameFilter {
public:
    explicit NameFilter(const TIdentifierSet& AIdentifiers);
    bool MayHold(std::uint32_t AHash) const {
        const std::uint32_t second = AHash >> 13 | AHash << 19;
        return (FBits[(AHash & FMask) / 64] >> (AHash & 63) & 1) != 0 &&
               (FBits[(second & FMask) / 64] >> (second & 63) & 1) != 0;
    }

private:
    std::vector<std::uint64_t> FBits;
    std::uint32_t FMask;  // bits - 1
};

// Thread-safe; the catalog's units must outlive it.
class UnitEffectsCache {
public:
    class Unit;
    // A unit with code in its initialization or finalization section, with its
    // name as the uses clause that brings it in spells it (empty: the unit asked about).
    struct StartingUnit {
        const Unit* Starts;
        std::u16string_view Name;
    };
    using Starting = std::vector<StartingUnit>;

    // The unit AName (as written, else with each scope name in front);
    // nullptr when the catalog knows no source for it. The scope names must
    // be the same in every call to one cache.
    const Unit* Find(const NameRules& ARules, std::u16string_view AName);
    // Whether AUnit declares a helper or an operator, which act without being named.
    bool ActsUnnamed(const TIdentifierSet& AUnit) { return FactsOf(AUnit).ActsUnnamed; }
    const NameFilter& NamesOf(const TIdentifierSet& AUnit) { return FactsOf(AUnit).Names; }
    // The units with start code AUnit brings into a program: itself, then
    // those its uses clauses bring in at any depth, nearest first.
    const Starting& StartingUnits(const Unit& AUnit, const NameRules& ARules);
    // The first of them: an empty name for AUnit itself; nothing when there
    // is none. The walk ends there.
    std::optional<std::u16string_view> FirstStarting(const Unit& AUnit, const NameRules& ARules);
    // The same as a set, cheap to join with others'.
    const StartingSet& StartingSetOf(const Unit& AUnit, const NameRules& ARules);

private:
    using Uses = std::vector<std::pair<const Unit*, std::u16string_view>>;

    std::mutex FMutex;
    struct SetFacts {
        bool ActsUnnamed;
        NameFilter Names;
    };
    std::unordered_map<const TIdentifierSet*, SetFacts> FSetFacts;  // nodes stay put
    const SetFacts& FactsOf(const TIdentifierSet& AUnit);
    std::deque<Unit> FUnits;  // numbered by place; stays put
    std::size_t FStartingUnits = 0;
    std::unordered_map<const TUnitLinks*, const Unit*> FByLinks;
    // Names as written, found once: the same few names fill most uses clauses.
    std::unordered_map<std::u16string, const Unit*> FByName;
    std::unordered_map<const TIdentifierSet*, TUnitLinks> FLinksRead;  // for catalogs that offer no links
    std::mutex FSetsMutex;  // one walk at a time fills the sets of what it reaches
    std::size_t FWalks = 0;

    const TUnitLinks* FindLinks(const NameRules& ARules, std::u16string_view AName);
    const Uses& DirectUses(const Unit& AUnit, const NameRules& ARules);
    void FillStartingSets(const Unit& ARoot, const NameRules& ARules);
    // AVisit(unit, name) for each unit AUnit brings in, breadth first (so
    // nearest first), each once, until it returns false.
    template <typename Visit> void WalkBroughtIn(const Unit& AUnit, const NameRules& ARules, Visit&& AVisit);
};

class UnitEffectsCache::Unit {
public:
    Unit(const TUnitLinks& ALinks, std::size_t ANumber, std::size_t AStartNumber)
        : Links(ALinks), Number(ANumber), StartNumber(AStartNumber) {}
    const TUnitLinks& Links;
    const std::size_t Number;       // dense from 0, for UnitMarks
    const std::size_t StartNumber;  // dense from 0 among those with start code, for StartingSet

private:
    friend class UnitEffectsCache;
    mutable std::once_flag FUsesRead, FStartingRead;
    mutable Uses FUses;  // the units its clauses name that have a source
    mutable Starting FStarting;
    // Filled by one walk over the units it reaches (strongly connected
    // components, Tarjan's way); the walk's own marks beside.
    mutable StartingSet FStartingSet;
    mutable std::atomic<bool> FSetFilled = false;
    mutable std::size_t FWalk = 0, FIndex = 0, FLowest = 0;
    mutable bool FOnStack = false;
};

// Units of one cache marked by their number, for one walk or one file.
class UnitMarks {
public:
    // False when it was marked already.
    bool Mark(const UnitEffectsCache::Unit& AUnit) {
        if (AUnit.Number >= FMarks.size()) FMarks.resize(AUnit.Number + 64);
        return !std::exchange(FMarks[AUnit.Number], 1);
    }
    bool Marked(const UnitEffectsCache::Unit& AUnit) const {
        return AUnit.Number < FMarks.size() && FMarks[AUnit.Number];
    }

private:
    std::vector<char> FMarks;
};

}  // namespace quorvel::detail
