#include "TextRules.h"

namespace quorvel::detail {
namespace {

template <typename CharT>
std::size_t LineBreakLengthIn(std::basic_string_view<CharT> AText, std::size_t APos) {
    if (APos >= AText.size()) return 0;
    if (AText[APos] == CharT('\n')) return 1;
    if (AText[APos] != CharT('\r')) return 0;
    return (APos + 1 < AText.size() && AText[APos + 1] == CharT('\n')) ? 2 : 1;
}

template <typename CharT>
std::u16string_view FirstLineBreakIn(std::basic_string_view<CharT> AText) {
    const CharT breaks[] = {CharT('\r'), CharT('\n')};
    const std::size_t pos = AText.find_first_of(breaks, 0, 2);
    if (pos == AText.npos) return u"\r\n";
    switch (LineBreakLengthIn(AText, pos)) {
        case 2: return u"\r\n";
        default: return AText[pos] == CharT('\r') ? u"\r" : u"\n";
    }
}

template <typename CharT>
std::basic_string_view<CharT> TrimTrailingBlanksIn(std::basic_string_view<CharT> AText) {
    while (!AText.empty() && IsBlank(AText.back())) AText.remove_suffix(1);
    return AText;
}

}  // namespace

bool KeywordEquals(std::string_view ALeft, std::u16string_view AKeyword) {
    if (ALeft.size() != AKeyword.size()) return false;
    for (std::size_t i = 0; i < ALeft.size(); ++i) {
        if (FoldAscii(ALeft[i]) != FoldAscii(AKeyword[i])) return false;
    }
    return true;
}

std::size_t LineBreakLengthAt(std::u16string_view AText, std::size_t APos) { return LineBreakLengthIn(AText, APos); }
std::size_t LineBreakLengthAt(std::string_view AText, std::size_t APos) { return LineBreakLengthIn(AText, APos); }

std::u16string_view FirstLineBreak(std::u16string_view AText) { return FirstLineBreakIn(AText); }
std::u16string_view FirstLineBreak(std::string_view AText) { return FirstLineBreakIn(AText); }

std::u16string_view TrimTrailingBlanks(std::u16string_view AText) { return TrimTrailingBlanksIn(AText); }
std::string_view TrimTrailingBlanks(std::string_view AText) { return TrimTrailingBlanksIn(AText); }

std::u16string_view TrimBlanks(std::u16string_view AText) {
    while (!AText.empty() && IsBlank(AText.front())) AText.remove_prefix(1);
    return TrimTrailingBlanks(AText);
}

}  // namespace quorvel::detail
