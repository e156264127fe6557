#pragma once
// Which identifiers a source text uses.

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quorvel::detail {

// A few folded identifiers, with a quick test on length and first code unit
// that passes over most other tokens without hashing them.
class IdentifierFilter {
public:
    void Add(std::u16string_view AFolded);
    bool IsEmpty() const { return FIdentifiers.empty(); }
    // AFolded's entry, or empty when it is none.
    std::u16string_view Find(std::u16string_view AFolded) const;
    bool MayContain(std::u16string_view AToken) const;

private:
    std::unordered_set<std::u16string_view> FIdentifiers;  // views into storage that outlives the filter
    std::bitset<64> FLengths;                               // lengths below 64; longer ones always pass
    std::array<bool, 128> FFirstUnits{};                    // folded first units below U+0080; others pass
};

// The identifiers of AFilter that occur in AText as identifier tokens outside
// comments, strings and directives (any ASCII letter case).
std::unordered_set<std::u16string_view> UsedAmong(std::u16string_view AText, const IdentifierFilter& AFilter);

// The first spelling in AText of the identifier whose folded form is
// AFoldedIdentifier; AFoldedIdentifier itself when there is none.
std::u16string FirstSpelling(std::u16string_view AText, std::u16string_view AFoldedIdentifier);

}  // namespace quorvel::detail
