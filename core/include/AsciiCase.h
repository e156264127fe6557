#pragma once
// The one letter-case rule of the system for names: only a-z map to A-Z, no
// locale is involved. Unit names, keywords, file names in the catalog and
// options-file keys all compare this way.

#include <algorithm>
#include <string>
#include <string_view>

namespace quorvel {

constexpr char16_t FoldAscii(char16_t AChar) {
    return AChar >= u'a' && AChar <= u'z' ? static_cast<char16_t>(AChar - (u'a' - u'A')) : AChar;
}

inline std::u16string FoldAscii(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) c = FoldAscii(c);
    return folded;
}

inline bool SameAsciiName(std::u16string_view A, std::u16string_view B) {
    return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                      [](char16_t a, char16_t b) { return FoldAscii(a) == FoldAscii(b); });
}

}  // namespace quorvel
