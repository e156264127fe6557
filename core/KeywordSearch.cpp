#include "KeywordSearch.h"

#include <algorithm>

#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {

std::size_t FindKeyword(std::u16string_view AText, std::u16string_view AKeyword, std::size_t ABegin,
                        std::size_t AEnd) {
    AEnd = std::min(AEnd, AText.size());
    std::size_t i = ABegin;
    // A match needs whole identifiers: a run that began before ABegin is none.
    if (i > 0 && i < AEnd && IsIdentifierChar(AText[i - 1])) i = SkipIdentifier(AText, i);
    while (i < AEnd) {
        if (IsIdentifierChar(AText[i])) {
            const std::size_t end = SkipIdentifier(AText, i);
            if (end - i == AKeyword.size() && end <= AEnd && KeywordEquals(AText.substr(i, end - i), AKeyword)) {
                return i;
            }
            i = end;
            continue;
        }
        const std::size_t skipped = SkipCommentOrString(AText, i);
        i = skipped > i ? skipped : i + 1;
    }
    return kNotFound;
}

std::size_t FindSemicolon(std::u16string_view AText, std::size_t AFrom) {
    std::size_t i = AFrom;
    while (i < AText.size()) {
        if (AText[i] == u';') return i;
        const std::size_t skipped = SkipCommentOrString(AText, i);
        i = skipped > i ? skipped : i + 1;
    }
    return kNotFound;
}

}  // namespace quorvel::detail
