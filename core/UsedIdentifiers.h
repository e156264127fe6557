#pragma once
// Which identifiers a source text uses.

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace quorvel::detail {

// Folded identifiers, with a quick test on length, first and last code unit
// that passes over most other tokens without folding or hashing them.
class IdentifierFilter {
public:
    void Add(std::u16string_view AFolded);
    bool IsEmpty() const { return FIdentifiers.empty(); }
    // AFolded's entry, or empty when it is none.
    std::u16string_view Find(std::u16string_view AFolded) const;
    bool MayContain(std::u16string_view AToken) const;
    template <typename F> void ForEach(F AVisit) const {
        for (std::u16string_view identifier : FIdentifiers) AVisit(identifier);
    }

private:
    static constexpr std::size_t kLengths = 32;  // longer tokens always pass the quick test
    static constexpr std::size_t kUnits = 128;   // so do tokens that begin or end above U+007F

    std::unordered_set<std::u16string_view> FIdentifiers;  // views into storage that outlives the filter
    std::bitset<kLengths * kUnits> FFirstUnits;            // by length and folded first unit
    std::bitset<kLengths * kUnits> FLastUnits;             // by length and folded last unit
};

struct UsedIdentifiers {
    // The identifiers of the filter that occur in the text as identifier tokens
    // outside comments and strings (any ASCII letter case), each with its first
    // spelling there. Directives count only where they name identifiers of the
    // program ({$IF}, {$ELSEIF}, macros); a name right after a lone `.` (a
    // member, or qualified by its unit) does not count.
    std::unordered_map<std::u16string_view, std::u16string_view> Spellings;
    // The text includes other files ({$I name}): what they use is unknown.
    bool IncludesFiles = false;
    // The names of those files as written, in the text's order; views into the text.
    std::vector<std::u16string_view> IncludeNames;
};

UsedIdentifiers UsedAmong(std::u16string_view AText, const IdentifierFilter& AFilter);

}  // namespace quorvel::detail
