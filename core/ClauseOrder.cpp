#include "ClauseOrder.h"

#include <algorithm>
#include <map>
#include <queue>

#include "InterfaceScanner.h"
#include "KeepFirstUnits.h"
#include "NameOrder.h"
#include "UnitFactsCache.h"
#include "UnitNames.h"

namespace quorvel::detail {
namespace {

constexpr std::size_t kIdentifiersPerNote = 3;

std::u16string_view SortKey(const TUsesEntry& AEntry) {
    return std::u16string_view(AEntry.UnitName).substr(AEntry.NameStart);
}

// Entry Before must stay before entry After for the sake of Identifiers (folded).
struct Constraint {
    std::size_t Before;
    std::size_t After;
    std::vector<std::u16string> Identifiers;
};

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

class ConstraintFinder {
public:
    explicit ConstraintFinder(const NameRules& ARules) : FRules(ARules) {}

    std::vector<Constraint> Find(const std::vector<std::u16string>& ANames) {
        std::vector<std::pair<std::size_t, const TIdentifierSet*>> found;
        for (std::size_t i = 0; i < ANames.size(); ++i) {
            if (const TIdentifierSet* set = FindUnit(FRules, ANames[i])) {
                found.emplace_back(i, set);
            } else if (!ANames[i].empty()) {
                FRules.Catalog->NoteUnitWithoutSource(ANames[i]);
            }
        }
        if (found.size() < 2) return {};
        FindHelpers(found);
        if (MayShareIdentifiers(found)) FindUsedIdentifiers(found);
        std::vector<Constraint> constraints;
        for (auto& [pair, identifiers] : FPairs) {
            std::sort(identifiers.begin(), identifiers.end());
            constraints.push_back({pair.first, pair.second, std::move(identifiers)});
        }
        return constraints;
    }

private:
    const NameRules& FRules;
    std::map<std::pair<std::size_t, std::size_t>, std::vector<std::u16string>> FPairs;

    // ADeclaring in written order: the last supplies the identifier today.
    void Add(const std::vector<std::size_t>& ADeclaring, const std::u16string& AIdentifier) {
        for (std::size_t k = 0; k + 1 < ADeclaring.size(); ++k) {
            FPairs[{ADeclaring[k], ADeclaring.back()}].push_back(AIdentifier);
        }
    }

    void FindHelpers(const std::vector<std::pair<std::size_t, const TIdentifierSet*>>& AFound) {
        std::map<std::u16string, std::vector<std::size_t>> helpers;
        for (const auto& [index, set] : AFound) {
            for (const std::u16string& helper : FRules.Facts->Helpers(*set)) helpers[helper].push_back(index);
        }
        for (const auto& [helper, declaring] : helpers) {
            if (declaring.size() >= 2) Add(declaring, helper);
        }
    }

    // Two units with no declarations, or one unit listed twice with nothing,
    // share nothing: spare reading the file.
    static bool MayShareIdentifiers(const std::vector<std::pair<std::size_t, const TIdentifierSet*>>& AFound) {
        std::size_t declaring = 0;
        for (const auto& entry : AFound) {
            if (!entry.second->empty()) ++declaring;
        }
        return declaring >= 2;
    }

    void FindUsedIdentifiers(const std::vector<std::pair<std::size_t, const TIdentifierSet*>>& AFound) {
        std::vector<std::size_t> declaring;
        for (const std::u16string& identifier : FRules.UsedIdentifiers()) {
            declaring.clear();
            for (const auto& [index, set] : AFound) {
                if (set->contains(identifier)) declaring.push_back(index);
            }
            if (declaring.size() >= 2) Add(declaring, identifier);
        }
    }
};

class ClauseOrderer {
public:
    ClauseOrderer(const std::vector<TUsesEntry>& AEntries, const NameRules& ARules)
        : FEntries(AEntries), FRules(ARules) {}

    ClauseOrder Run(const KeepFirstMatcher& AKeepFirst) {
        FFirst.resize(FEntries.size());
        for (std::size_t i = 0; i < FEntries.size(); ++i) {
            const std::u16string_view plain = PlainUnitName(FEntries[i]);
            FFirst[i] = AKeepFirst.Matches(plain.empty() ? std::u16string_view(Name(i)) : plain);
        }
        if (FRules.Catalog != nullptr) {
            for (std::size_t i = 0; i < FEntries.size(); ++i) Name(i);
            FConstraints = ConstraintFinder(FRules).Find(FNames);
        }

        ClauseOrder result;
        if (const std::vector<const Constraint*> conflicts = Conflicts(); !conflicts.empty()) {
            result.Entries = FEntries;
            for (const Constraint* c : conflicts) {
                result.Notes.push_back(Note(*c, u"order kept as written: ", u" must stay before "));
            }
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
        return result;
    }

private:
    const std::vector<TUsesEntry>& FEntries;
    const NameRules& FRules;
    std::vector<std::u16string> FNames;  // filled as far as needed
    std::vector<char> FFirst;
    std::vector<Constraint> FConstraints;

    const std::u16string& Name(std::size_t AIndex) {
        while (FNames.size() <= AIndex) FNames.push_back(ElementUnitName(FEntries[FNames.size()]));
        return FNames[AIndex];
    }

    int Compare(std::size_t ALeft, std::size_t ARight) const {
        return CompareUnitNames(SortKey(FEntries[ALeft]), SortKey(FEntries[ARight]));
    }

    // A unit that must stay before a keep-first unit that would move ahead of it.
    std::vector<const Constraint*> Conflicts() const {
        std::vector<const Constraint*> conflicts;
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.After] && !FFirst[c.Before]) conflicts.push_back(&c);
        }
        return conflicts;
    }

    // The units not kept first: a stable alphabetical sort when nothing holds
    // them back, else the topological order that takes the smallest name first.
    void AppendOthers(std::vector<std::size_t>& AOrder) const {
        std::vector<std::vector<std::size_t>> followers(FEntries.size());
        std::vector<std::size_t> waitingFor(FEntries.size(), 0);
        bool constrained = false;
        for (const Constraint& c : FConstraints) {
            if (FFirst[c.Before]) continue;  // kept first anyway
            followers[c.Before].push_back(c.After);
            ++waitingFor[c.After];
            constrained = true;
        }
        const auto later = [this](std::size_t ALeft, std::size_t ARight) {
            const int compared = Compare(ALeft, ARight);
            return compared != 0 ? compared > 0 : ALeft > ARight;
        };
        const std::size_t begin = AOrder.size();
        if (!constrained) {
            for (std::size_t i = 0; i < FEntries.size(); ++i) {
                if (!FFirst[i]) AOrder.push_back(i);
            }
            std::stable_sort(AOrder.begin() + static_cast<std::ptrdiff_t>(begin), AOrder.end(),
                             [&](std::size_t ALeft, std::size_t ARight) { return Compare(ALeft, ARight) < 0; });
            return;
        }
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

    std::u16string Identifier(const std::u16string& AFolded) const {
        if (AFolded.starts_with(kHelperPrefix)) {
            return u"helper for " + FRules.Spelling(std::u16string_view(AFolded).substr(kHelperPrefix.size()));
        }
        return FRules.Spelling(AFolded);
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
            note += Identifier(AConstraint.Identifiers[k]);
        }
        note += u")";
        return note;
    }
};

}  // namespace

ClauseOrder OrderEntries(const std::vector<TUsesEntry>& AEntries, const KeepFirstMatcher& AKeepFirst,
                         const NameRules& ARules) {
    if (AKeepFirst.IsEmpty() && ARules.Catalog == nullptr) return {SortEntries(AEntries), {}};
    return ClauseOrderer(AEntries, ARules).Run(AKeepFirst);
}

}  // namespace quorvel::detail
