#include "KeywordSearch.h"

#include <algorithm>

#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

// Past the comment or string at APos, else past the code unit there.
std::size_t NextPosition(std::u16string_view AText, std::size_t APos) {
    if (!MayOpenCommentOrString(AText[APos])) return APos + 1;
    const std::size_t skipped = SkipCommentOrString(AText, APos);
    return skipped > APos ? skipped : APos + 1;
}

}  // namespace

std::size_t FindKeyword(std::u16string_view AText, std::u16string_view AKeyword, std::size_t ABegin,
                        std::size_t AEnd) {
    AEnd = std::min(AEnd, AText.size());
    std::size_t i = ABegin;
    // A match needs whole identifiers: a run that began before ABegin is none.
    if (i > 0 && i < AEnd && IsIdentifierChar(AText[i - 1])) i = SkipIdentifier(AText, i);
    while (i < AEnd) {
        // Most code units open nothing: pass them in a tight loop.
        while (i < AEnd && !IsIdentifierChar(AText[i]) && !MayOpenCommentOrString(AText[i])) ++i;
        if (i >= AEnd) break;
        if (IsIdentifierChar(AText[i])) {
            const std::size_t end = SkipIdentifier(AText, i);
            if (end - i == AKeyword.size() && end <= AEnd && KeywordEquals(AText.substr(i, end - i), AKeyword)) {
                return i;
            }
            i = end;
        } else {
            i = NextPosition(AText, i);
        }
    }
    return kNotFound;
}

std::size_t FindSemicolon(std::u16string_view AText, std::size_t AFrom) {
    std::size_t i = AFrom;
    while (i < AText.size()) {
        if (AText[i] == u';') return i;
        i = NextPosition(AText, i);
    }
    return kNotFound;
}

}  // namespace quorvel::detail
