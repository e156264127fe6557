#pragma once
// The one letter-case rule of the system for unit names, keywords, identifiers
// and file names it matches: only `a` to `z` are folded, to `A` to `Z`; every
// other code unit stays as it is, and no locale is involved.

#include <string>
#include <string_view>

namespace quorvel {

constexpr char16_t FoldAscii(char16_t AChar) {
    return (AChar >= u'a' && AChar <= u'z') ? static_cast<char16_t>(AChar - 32) : AChar;
}

std::u16string FoldAscii(std::u16string_view AText);

// Whether the two are equal once folded.
bool SameAsciiName(std::u16string_view ALeft, std::u16string_view ARight);

}  // namespace quorvel
