#include "ClauseOrder.h"

#include <algorithm>
#include <queue>

#include "KeepFirstUnits.h"
#include "NameOrder.h"
#include "UnitNames.h"

namespace quorvel::detail {
namespace {

constexpr std::size_t kIdentifiersPerNote = 3;

class ClauseOrderer {
public:
    ClauseOrderer(const std::vector<TUsesEntry>& AEntries, const NameRules& ARules, const EntryPlaces& APlaces)
        : FEntries(AEntries), FRules(ARules), FPlaces(APlaces), FFinder(ARules) {}

    ClauseOrder Run(const KeepFirstMatcher& AKeepFirst) {
        FFirst.resize(FEntries.size());
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            const std::u16string_view plain = PlainUnitName(FEntries[i]);
            FFirst[i] = AKeepFirst.Matches(plain.empty() ? std::u16string_view(Name(i)) : plain);
        }
        if (FRules.Catalog != nullptr) {
            for (std::size_t i = 0; i < FEntries.size(); ++i) Name(i);
            const std::vector<std::u16string>& lookup = FPlaces.LookupNames.empty() ? FNames : FPlaces.LookupNames;
            FConstraints = FFinder.Find(lookup);
            if (FRules.InitOrder) FindInitOrder(lookup);
        }

        ClauseOrder result;
        if (const std::vector<const Constraint*> conflicts = Conflicts(); !conflicts.empty()) {
            result.Entries = FEntries;
            if (!FPlaces.Block.empty()) {
                result.GroupStarts.resize(FEntries.size());
                for (std::size_t k = 1; k < FEntries.size(); ++k) result.GroupStarts[k] = Block(k) != Block(k - 1);
            }
            for (const Constraint* c : conflicts) {
                result.Notes.push_back(Note(*c, u"order kept as written: ", u" must stay before "));
            }
            return result;
        }
        const bool placed = !FPlaces.Block.empty() || !FPlaces.Rank.empty();
        if (!placed && FConstraints.empty() && FInitOrder.empty() &&
            std::find(FFirst.begin(), FFirst.end(), 1) == FFirst.end()) {
            result.Entries = SortEntries(FEntries);  // the usual case: sorting entries beats sorting indices
            return result;
        }
        std::vector<std::size_t> order;
        OrderAll(order);
        result.Entries.reserve(order.size());
        for (std::size_t i : order) result.Entries.push_back(FEntries[i]);
        if (placed) result.GroupStarts = GroupStarts(order);
        for (const Constraint& c : FConstraints) {
            // Only where the order by group and name would have swapped the two.
            if (FFirst[c.Before] || Block(c.Before) != Block(c.After) || !Less(c.After, c.Before)) continue;
            if (Rank(c.After) == Rank(c.Before)) {
                result.Notes.push_back(Note(c, u"", u" stays before "));
            } else {
                std::u16string note = Note(c, u"", u" stays before ");
                note += u", out of its group ";
                note += FPlaces.GroupNames[Rank(c.After)];
                result.GroupNotes.push_back(std::move(note));
            }
        }
        for (std::size_t k = 0; k + 1 < FInitOrder.size(); ++k) {
            const InitUnit& before = FInitOrder[k];
            const InitUnit& after = FInitOrder[k + 1];
            if (!Less(after.Entry, before.Entry)) continue;
            result.InitNotes.push_back(FNames[before.Entry] + u" stays before " + FNames[after.Entry] +
                                       u" (initialization: " + Runner(before) + u", " + Runner(after) + u")");
        }
        return result;
    }

private:
    const std::vector<TUsesEntry>& FEntries;
    const NameRules& FRules;
    const EntryPlaces& FPlaces;
    std::vector<std::u16string> FNames;  // filled as far as needed
    std::vector<char> FFirst;
    ConstraintFinder FFinder;
    std::vector<Constraint> FConstraints;
    std::vector<InitUnit> FInitOrder;  // units not kept first that run code, in written order

    void FindInitOrder(const std::vector<std::u16string>& ANames) {
        for (InitUnit& unit : FFinder.InitUnits(ANames)) {
            if (!FFirst[unit.Entry]) FInitOrder.push_back(std::move(unit));
        }
    }

    // The unit whose code runs for AUnit.
    const std::u16string& Runner(const InitUnit& AUnit) const {
        return AUnit.Through.empty() ? FNames[AUnit.Entry] : AUnit.Through;
    }

    const std::u16string& Name(std::size_t AIndex) {
        while (FNames.size() <= AIndex) FNames.push_back(ElementUnitName(FEntries[FNames.size()]));
        return FNames[AIndex];
    }

    std::size_t Block(std::size_t AIndex) const { return FPlaces.Block.empty() ? 0 : FPlaces.Block[AIndex]; }
    std::size_t Rank(std::size_t AIndex) const { return FPlaces.Rank.empty() ? 0 : FPlaces.Rank[AIndex]; }

    // The order without constraints: block, then the keep-first units in
    // written order, then group rank, then name, then written order.
    bool Less(std::size_t ALeft, std::size_t ARight) const {
        if (Block(ALeft) != Block(ARight)) return Block(ALeft) < Block(ARight);
        if (FFirst[ALeft] != FFirst[ARight]) return FFirst[ALeft] != 0;
        if (!FFirst[ALeft]) {
            if (Rank(ALeft) != Rank(ARight)) return Rank(ALeft) < Rank(ARight);
            if (const int compared = CompareEntryNames(FEntries[ALeft], FEntries[ARight]); compared != 0) {
                return compared < 0;
            }
        }
        return ALeft < ARight;
    }

    // A unit that must stay before a keep-first unit of its block that would move ahead of it.
    std::vector<const Constraint*> Conflicts() const {
        std::vector<const Constraint*> conflicts;
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.After] && !FFirst[c.Before] && Block(c.After) == Block(c.Before)) conflicts.push_back(&c);
        }
        return conflicts;
    }

    // The topological order that takes the smallest unit by Less first; without
    // constraints this is the stable sort by Less.
    void OrderAll(std::vector<std::size_t>& AOrder) const {
        std::vector<std::vector<std::size_t>> followers(FEntries.size());
        std::vector<std::size_t> waitingFor(FEntries.size(), 0);
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.Before] && Block(c.Before) == Block(c.After)) continue;  // kept first anyway
            followers[c.Before].push_back(c.After);
            ++waitingFor[c.After];
        }
        for (std::size_t k = 0; k + 1 < FInitOrder.size(); ++k) {
            followers[FInitOrder[k].Entry].push_back(FInitOrder[k + 1].Entry);
            ++waitingFor[FInitOrder[k + 1].Entry];
        }
        const auto later = [this](std::size_t ALeft, std::size_t ARight) { return Less(ARight, ALeft); };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> ready(later);
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            if (waitingFor[i] == 0) ready.push(i);
        }
        while (!ready.empty()) {
            const std::size_t next = ready.top();
            ready.pop();
            AOrder.push_back(next);
            for (std::size_t follower : followers[next]) {
                if (--waitingFor[follower] == 0) ready.push(follower);
            }
        }
    }

    // A new block, the end of the keep-first units, or a higher group. A unit
    // the name rule placed in a later group belongs to that group here.
    std::vector<char> GroupStarts(const std::vector<std::size_t>& AOrder) const {
        std::vector<char> starts(AOrder.size(), 0);
        std::size_t rank = AOrder.empty() ? 0 : Rank(AOrder.front());
        for (std::size_t k = 1; k < AOrder.size(); ++k) {
            const std::size_t previous = AOrder[k - 1], current = AOrder[k];
            if (Block(previous) != Block(current) || FFirst[previous] != FFirst[current]) {
                starts[k] = 1;
                rank = Rank(current);
            } else if (!FFirst[current] && Rank(current) > std::max(rank, Rank(previous))) {
                starts[k] = 1;
                rank = Rank(current);
            } else {
                rank = std::max(rank, Rank(previous));
            }
        }
        return starts;
    }
    // Only with constraints, which need every name.
    std::u16string Note(const Constraint& AConstraint, std::u16string_view APrefix, std::u16string_view AVerb) const {
        std::u16string note(APrefix);
        note += FNames[AConstraint.Before];
        note += AVerb;
        note += FNames[AConstraint.After];
        note += u" (";
        for (std::size_t k = 0; k < AConstraint.Identifiers.size(); ++k) {
            if (k > 0) note += u", ";
            if (k == kIdentifiersPerNote) {
                note += u"\u2026";
                break;
            }
            note += FFinder.Spelling(AConstraint.Identifiers[k]);
        }
        note += u")";
        return note;
    }
};

}  // namespace

ClauseOrder OrderEntries(const std::vector<TUsesEntry>& AEntries, const KeepFirstMatcher& AKeepFirst,
                         const NameRules& ARules, const EntryPlaces& APlaces) {
    if (AKeepFirst.IsEmpty() && ARules.Catalog == nullptr && APlaces.Block.empty() && APlaces.Rank.empty()) {
        ClauseOrder sorted;
        sorted.Entries = SortEntries(AEntries);
        return sorted;
    }
    return ClauseOrderer(AEntries, ARules, APlaces).Run(AKeepFirst);
}

}  // namespace quorvel::detail
