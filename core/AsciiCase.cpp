#include "AsciiCase.h"

#include <algorithm>

namespace quorvel {

std::u16string FoldAscii(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) c = FoldAscii(c);
    return folded;
}

bool SameAsciiName(std::u16string_view ALeft, std::u16string_view ARight) {
    return std::equal(ALeft.begin(), ALeft.end(), ARight.begin(), ARight.end(),
                      [](char16_t AL, char16_t AR) { return FoldAscii(AL) == FoldAscii(AR); });
}

}  // namespace quorvel
