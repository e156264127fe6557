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
    ClauseOrderer(const std::vector<TUsesEntry>& AEntries, const NameRules& ARules)
        : FEntries(AEntries), FRules(ARules), FFinder(ARules) {}

    ClauseOrder Run(const KeepFirstMatcher& AKeepFirst) {
        FFirst.resize(FEntries.size());
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            const std::u16string_view plain = PlainUnitName(FEntries[i]);
            FFirst[i] = AKeepFirst.Matches(plain.empty() ? std::u16string_view(Name(i)) : plain);
        }
        if (FRules.Catalog != nullptr) {
            for (std::size_t i = 0; i < FEntries.size(); ++i) Name(i);
            FConstraints = FFinder.Find(FNames);
            if (FRules.InitOrder) FindInitOrder();
        }

        ClauseOrder result;
        if (const std::vector<const Constraint*> conflicts = Conflicts(); !conflicts.empty()) {
            result.Entries = FEntries;
            for (const Constraint* c : conflicts) {
                result.Notes.push_back(Note(*c, u"order kept as written: ", u" must stay before "));
            }
            return result;
        }
        if (FConstraints.empty() && FInitOrder.empty() && std::find(FFirst.begin(), FFirst.end(), 1) == FFirst.end()) {
            result.Entries = SortEntries(FEntries);  // the usual case: sorting entries beats sorting indices
            return result;
        }
        std::vector<std::size_t> order;
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            if (FFirst[i]) order.push_back(i);
        }
        AppendOthers(order);
        result.Entries.reserve(order.size());
        for (std::size_t i : order) result.Entries.push_back(FEntries[i]);
        for (const Constraint& c : FConstraints) {
            // Only where the alphabetical order would have swapped the two.
            if (!FFirst[c.Before] && Compare(c.After, c.Before) < 0) {
                result.Notes.push_back(Note(c, u"", u" stays before "));
            }
        }
        for (std::size_t k = 0; k + 1 < FInitOrder.size(); ++k) {
            const InitUnit& before = FInitOrder[k];
            const InitUnit& after = FInitOrder[k + 1];
            if (Compare(after.Entry, before.Entry) >= 0) continue;
            result.InitNotes.push_back(FNames[before.Entry] + u" stays before " + FNames[after.Entry] +
                                       u" (initialization: " + Runner(before) + u", " + Runner(after) + u")");
        }
        return result;
    }

private:
    const std::vector<TUsesEntry>& FEntries;
    const NameRules& FRules;
    std::vector<std::u16string> FNames;  // filled as far as needed
    std::vector<char> FFirst;
    ConstraintFinder FFinder;
    std::vector<Constraint> FConstraints;
    std::vector<InitUnit> FInitOrder;  // units not kept first that run code, in written order

    void FindInitOrder() {
        for (InitUnit& unit : FFinder.InitUnits(FNames)) {
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

    int Compare(std::size_t ALeft, std::size_t ARight) const {
        return CompareEntryNames(FEntries[ALeft], FEntries[ARight]);
    }

    // A unit that must stay before a keep-first unit that would move ahead of it.
    std::vector<const Constraint*> Conflicts() const {
        std::vector<const Constraint*> conflicts;
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.After] && !FFirst[c.Before]) conflicts.push_back(&c);
        }
        return conflicts;
    }

    // The units not kept first, in the topological order that takes the
    // smallest name first; equal names in written order, so without
    // constraints this is the stable alphabetical sort.
    void AppendOthers(std::vector<std::size_t>& AOrder) const {
        std::vector<std::vector<std::size_t>> followers(FEntries.size());
        std::vector<std::size_t> waitingFor(FEntries.size(), 0);
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.Before]) continue;  // kept first anyway
            followers[c.Before].push_back(c.After);
            ++waitingFor[c.After];
        }
        for (std::size_t k = 0; k + 1 < FInitOrder.size(); ++k) {
            followers[FInitOrder[k].Entry].push_back(FInitOrder[k + 1].Entry);
            ++waitingFor[FInitOrder[k + 1].Entry];
        }
        const auto later = [this](std::size_t ALeft, std::size_t ARight) {
            const int compared = Compare(ALeft, ARight);
            return compared != 0 ? compared > 0 : ALeft > ARight;
        };
        std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> ready(later);
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            if (!FFirst[i] && waitingFor[i] == 0) ready.push(i);
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
                         const NameRules& ARules) {
    if (AKeepFirst.IsEmpty() && ARules.Catalog == nullptr) return {SortEntries(AEntries), {}, {}};
    return ClauseOrderer(AEntries, ARules).Run(AKeepFirst);
}

}  // namespace quorvel::detail
