#include "PascalLexer.h"

#include <algorithm>

#include "TextRules.h"
#include "CodeUnitSearch.h"

namespace quorvel::detail {
namespace {

// Where a comment or string that starts at a given position ends, and whether
// its closing delimiter was found before the end of the text.
struct Extent {
    std::size_t End;
    bool Closed;
};

Extent UpTo(std::u16string_view AText, std::size_t AClose, std::size_t ACloseLength) {
    if (AClose == std::u16string_view::npos) return {AText.size(), false};
    return {AClose + ACloseLength, true};
}

// The first AUnit at or after AFrom; npos when there is none.
std::size_t FindUnit(std::u16string_view AText, char16_t AUnit, std::size_t AFrom) {
    if (AFrom >= AText.size()) return std::u16string_view::npos;
    const std::size_t found = FindFirstOf(AText, AFrom, AText.size(), {&AUnit, 1});
    return found < AText.size() ? found : std::u16string_view::npos;
}

// `{` to the first `}`; no nesting.
Extent BraceComment(std::u16string_view AText, std::size_t APos) {
    return UpTo(AText, FindUnit(AText, u'}', APos + 1), 1);
}

// `(*` to the first `*)` after it, so `(*)` does not close itself.
Extent ParenComment(std::u16string_view AText, std::size_t APos) {
    std::size_t star = FindUnit(AText, u'*', APos + 2);
    while (star != std::u16string_view::npos && !(star + 1 < AText.size() && AText[star + 1] == u')')) {
        star = FindUnit(AText, u'*', star + 1);
    }
    return UpTo(AText, star, 2);
}

// `//` up to, not including, the next CR or LF; the end of the text ends it too.
Extent LineComment(std::u16string_view AText, std::size_t APos) {
    return {FindFirstOf(AText, std::min(APos + 2, AText.size()), AText.size(), u"\r\n"), true};
}

// A doubled quote continues the literal: `'it''s'` is one string.
Extent StringLiteral(std::u16string_view AText, std::size_t APos) {
    std::size_t i = APos;
    do {
        const std::size_t close = FindUnit(AText, u'\'', i + 1);
        if (close == std::u16string_view::npos) return {AText.size(), false};
        i = close + 1;
    } while (i < AText.size() && AText[i] == u'\'');
    return {i, true};
}

bool NextIs(std::u16string_view AText, std::size_t APos, char16_t AChar) {
    return APos < AText.size() && AText[APos] == AChar;
}

std::size_t SkipBlanks(std::u16string_view AText, std::size_t APos, bool& AHasLineBreak) {
    std::size_t i = APos;
    while (i < AText.size() && IsBlank(AText[i])) {
        AHasLineBreak = AHasLineBreak || IsLineBreakChar(AText[i]);
        ++i;
    }
    return i;
}

// {APos, false} when no comment or string starts at APos.
Extent CommentOrString(std::u16string_view AText, std::size_t APos) {
    switch (AText[APos]) {
    case u'{': return BraceComment(AText, APos);
    case u'(': return NextIs(AText, APos + 1, u'*') ? ParenComment(AText, APos) : Extent{APos, false};
    case u'/': return NextIs(AText, APos + 1, u'/') ? LineComment(AText, APos) : Extent{APos, false};
    case u'\'': return StringLiteral(AText, APos);
    default: return {APos, false};
    }
}

}  // namespace

std::size_t SkipCommentOrString(std::u16string_view AText, std::size_t APos) {
    return CommentOrString(AText, APos).End;
}

Token NextToken(std::u16string_view AText, std::size_t APos) {
    const char16_t c = AText[APos];
    Token token{TokenKind::Symbol, APos, APos + 1};
    if (IsBlank(c)) {
        token.Kind = TokenKind::Blank;
        token.End = SkipBlanks(AText, APos, token.HasLineBreak);
    } else if (IsIdentifierChar(c)) {
        token.Kind = IsIdentifierStart(c) ? TokenKind::Identifier : TokenKind::Other;
        token.End = SkipIdentifier(AText, APos);
    } else if (const Extent extent = CommentOrString(AText, APos); extent.End != APos) {
        token.End = extent.End;
        token.IsUnterminated = !extent.Closed;
        if (c == u'\'') {
            token.Kind = TokenKind::String;
        } else {
            const std::size_t dollarAt = APos + (c == u'{' ? 1 : 2);
            token.IsLineComment = c == u'/';
            token.Kind = !token.IsLineComment && NextIs(AText, dollarAt, u'$')
                             ? TokenKind::Directive
                             : TokenKind::Comment;
        }
    }
    return token;
}

}  // namespace quorvel::detail
