#include "KeywordSearch.h"

#include <algorithm>

#include "CodeUnitSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

// Past the comment or string at APos, else past the code unit there.
template <typename CharT>
std::size_t NextPosition(std::basic_string_view<CharT> AText, std::size_t APos) {
    if (!MayOpenCommentOrString(AText[APos])) return APos + 1;
    const std::size_t skipped = SkipCommentOrString(AText, APos);
    return skipped > APos ? skipped : APos + 1;
}

// AKeyword at APos between word boundaries: no identifier character directly
// before or after it anywhere in the text.
template <typename CharT>
bool IsKeywordAt(std::basic_string_view<CharT> AText, std::u16string_view AKeyword, std::size_t APos) {
    if (APos > 0 && IsIdentifierChar(AText[APos - 1])) return false;
    const std::size_t end = APos + AKeyword.size();
    if (end < AText.size() && IsIdentifierChar(AText[end])) return false;
    return KeywordEquals(AText.substr(APos, AKeyword.size()), AKeyword);
}

template <typename CharT>
std::size_t FindKeywordIn(std::basic_string_view<CharT> AText, std::u16string_view AKeyword, std::size_t ABegin,
                          std::size_t AEnd) {
    AEnd = std::min(AEnd, AText.size());
    if (AKeyword.empty() || AEnd < AKeyword.size()) return kNotFound;
    // Only places where the keyword's first two units or an opener of a
    // comment or string stand stop the scan; a candidate inside a longer
    // identifier fails its boundary test.
    const std::size_t lastStart = AEnd - AKeyword.size();
    std::size_t i = ABegin;
    while (i < AEnd) {
        i = AKeyword.size() >= 2 ? FindKeywordCandidate(AText, i, AEnd, AKeyword) : i;
        if (i >= AEnd) break;
        if (MayOpenCommentOrString(AText[i])) {
            i = NextPosition(AText, i);
        } else if (i <= lastStart && IsKeywordAt(AText, AKeyword, i)) {
            return i;
        } else {
            ++i;
        }
    }
    return kNotFound;
}

template <typename CharT>
std::size_t FindSemicolonIn(std::basic_string_view<CharT> AText, std::size_t AFrom) {
    std::size_t i = AFrom;
    while (i < AText.size()) {
        if (AText[i] == CharT(';')) return i;
        i = NextPosition(AText, i);
    }
    return kNotFound;
}

}  // namespace

std::size_t FindKeyword(std::u16string_view AText, std::u16string_view AKeyword, std::size_t ABegin,
                        std::size_t AEnd) {
    return FindKeywordIn(AText, AKeyword, ABegin, AEnd);
}

std::size_t FindKeyword(std::string_view AText, std::u16string_view AKeyword, std::size_t ABegin, std::size_t AEnd) {
    return FindKeywordIn(AText, AKeyword, ABegin, AEnd);
}

std::size_t FindSemicolon(std::u16string_view AText, std::size_t AFrom) { return FindSemicolonIn(AText, AFrom); }
std::size_t FindSemicolon(std::string_view AText, std::size_t AFrom) { return FindSemicolonIn(AText, AFrom); }

}  // namespace quorvel::detail
