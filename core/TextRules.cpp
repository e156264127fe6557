#include "TextRules.h"

namespace quorvel::detail {

bool KeywordEquals(std::u16string_view ALeft, std::u16string_view ARight) {
    if (ALeft.size() != ARight.size()) return false;
    for (std::size_t i = 0; i < ALeft.size(); ++i) {
        if (FoldAsciiCase(ALeft[i]) != FoldAsciiCase(ARight[i])) return false;
    }
    return true;
}

std::size_t LineBreakLengthAt(std::u16string_view AText, std::size_t APos) {
    if (APos >= AText.size()) return 0;
    if (AText[APos] == u'\n') return 1;
    if (AText[APos] != u'\r') return 0;
    return (APos + 1 < AText.size() && AText[APos + 1] == u'\n') ? 2 : 1;
}

std::u16string_view FirstLineBreak(std::u16string_view AText) {
    const std::size_t pos = AText.find_first_of(u"\r\n");
    if (pos == std::u16string_view::npos) return u"\r\n";
    return AText.substr(pos, LineBreakLengthAt(AText, pos));
}

std::u16string_view TrimTrailingBlanks(std::u16string_view AText) {
    while (!AText.empty() && IsBlank(AText.back())) AText.remove_suffix(1);
    return AText;
}

std::u16string_view TrimBlanks(std::u16string_view AText) {
    while (!AText.empty() && IsBlank(AText.front())) AText.remove_prefix(1);
    return TrimTrailingBlanks(AText);
}

}  // namespace quorvel::detail
