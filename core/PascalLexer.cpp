#include "PascalLexer.h"

#include <algorithm>

#include "CodeUnitSearch.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

// Where a comment or string that starts at a given position ends, and whether
// its closing delimiter was found before the end of the text.
struct Extent {
    std::size_t End;
    bool Closed;
};

constexpr std::size_t kNone = std::u16string_view::npos;

template <typename CharT>
Extent UpTo(std::basic_string_view<CharT> AText, std::size_t AClose, std::size_t ACloseLength) {
    if (AClose == kNone) return {AText.size(), false};
    return {AClose + ACloseLength, true};
}

// The first AUnit at or after AFrom; kNone when there is none.
template <typename CharT>
std::size_t FindUnit(std::basic_string_view<CharT> AText, char16_t AUnit, std::size_t AFrom) {
    if (AFrom >= AText.size()) return kNone;
    const std::size_t found = FindFirstOf(AText, AFrom, AText.size(), {&AUnit, 1});
    return found < AText.size() ? found : kNone;
}

// `{` to the first `}`; nested: to the `}` that closes as many `{` as it
// passed (Free Pascal's own modes).
template <typename CharT>
Extent BraceComment(std::basic_string_view<CharT> AText, std::size_t APos, bool ANested) {
    if (!ANested) return UpTo(AText, FindUnit(AText, u'}', APos + 1), 1);
    int depth = 1;
    for (std::size_t i = APos + 1; i < AText.size(); ++i) {
        if (AText[i] == u'{') ++depth;
        else if (AText[i] == u'}' && --depth == 0) return {i + 1, true};
    }
    return {AText.size(), false};
}

// `(*` to the first `*)` after it, so `(*)` does not close itself; nested:
// each `(*` inside needs its own `*)`.
template <typename CharT>
Extent ParenComment(std::basic_string_view<CharT> AText, std::size_t APos, bool ANested) {
    if (ANested) {
        int depth = 1;
        for (std::size_t i = APos + 2; i + 1 < AText.size(); ++i) {
            if (AText[i] == u'(' && AText[i + 1] == u'*') {
                ++depth;
                ++i;
            } else if (AText[i] == u'*' && AText[i + 1] == u')') {
                if (--depth == 0) return {i + 2, true};
                ++i;
            }
        }
        return {AText.size(), false};
    }
    std::size_t star = FindUnit(AText, u'*', APos + 2);
    while (star != kNone && !(star + 1 < AText.size() && AText[star + 1] == u')')) {
        star = FindUnit(AText, u'*', star + 1);
    }
    return UpTo(AText, star, 2);
}

// `//` up to, not including, the next CR or LF; the end of the text ends it too.
template <typename CharT>
Extent LineComment(std::basic_string_view<CharT> AText, std::size_t APos) {
    return {FindFirstOf(AText, std::min(APos + 2, AText.size()), AText.size(), u"\r\n"), true};
}

// A doubled quote continues the literal: `'it''s'` is one string.
template <typename CharT>
Extent StringLiteral(std::basic_string_view<CharT> AText, std::size_t APos, bool AEndAtLineEnd) {
    std::size_t i = APos;
    do {
        const std::size_t close =
            FindFirstOf(AText, i + 1, AText.size(), AEndAtLineEnd ? std::u16string_view(u"'\r\n") : u"'");
        if (close >= AText.size()) return {AText.size(), false};
        if (AText[close] != u'\'') return {close, false};
        i = close + 1;
    } while (i < AText.size() && AText[i] == u'\'');
    return {i, true};
}

template <typename CharT>
bool NextIs(std::basic_string_view<CharT> AText, std::size_t APos, char16_t AChar) {
    return APos < AText.size() && AText[APos] == AChar;
}

template <typename CharT>
std::size_t SkipBlanks(std::basic_string_view<CharT> AText, std::size_t APos, bool& AHasLineBreak) {
    std::size_t i = APos;
    while (i < AText.size() && IsBlank(AText[i])) {
        AHasLineBreak = AHasLineBreak || IsLineBreakChar(AText[i]);
        ++i;
    }
    return i;
}

// {APos, false} when no comment or string starts at APos.
template <typename CharT>
Extent CommentOrString(std::basic_string_view<CharT> AText, std::size_t APos, LexRules ARules) {
    switch (AText[APos]) {
    case u'{': return BraceComment(AText, APos, ARules.NestedComments);
    case u'(': return NextIs(AText, APos + 1, u'*') ? ParenComment(AText, APos, ARules.NestedComments) : Extent{APos, false};
    case u'/': return NextIs(AText, APos + 1, u'/') ? LineComment(AText, APos) : Extent{APos, false};
    case u'\'': return StringLiteral(AText, APos, ARules.StringsEndAtLineEnd);
    default: return {APos, false};
    }
}

template <typename CharT>
Token NextTokenIn(std::basic_string_view<CharT> AText, std::size_t APos, LexRules ARules) {
    const CharT c = AText[APos];
    Token token{TokenKind::Symbol, APos, APos + 1};
    if (IsBlank(c)) {
        token.Kind = TokenKind::Blank;
        token.End = SkipBlanks(AText, APos, token.HasLineBreak);
    } else if (IsIdentifierChar(c)) {
        token.Kind = IsIdentifierStart(c) ? TokenKind::Identifier : TokenKind::Other;
        token.End = SkipIdentifier(AText, APos);
    } else if (const Extent extent = CommentOrString(AText, APos, ARules); extent.End != APos) {
        token.End = extent.End;
        token.IsUnterminated = !extent.Closed;
        if (c == CharT('\'')) {
            token.Kind = TokenKind::String;
        } else {
            const std::size_t dollarAt = APos + (c == CharT('{') ? 1 : 2);
            token.IsLineComment = c == CharT('/');
            token.Kind = !token.IsLineComment && NextIs(AText, dollarAt, u'$')
                             ? TokenKind::Directive
                             : TokenKind::Comment;
        }
    }
    return token;
}

}  // namespace

std::size_t SkipCommentOrString(std::u16string_view AText, std::size_t APos, LexRules ARules) {
    return CommentOrString(AText, APos, ARules).End;
}

std::size_t SkipCommentOrString(std::string_view AText, std::size_t APos) {
    return CommentOrString(AText, APos, LexRules{}).End;
}

Token NextToken(std::u16string_view AText, std::size_t APos, LexRules ARules) {
    return NextTokenIn(AText, APos, ARules);
}
Token NextToken(std::string_view AText, std::size_t APos) { return NextTokenIn(AText, APos, LexRules{}); }

Token NextCodeToken(std::u16string_view AText, std::size_t APos) {
    Token token{TokenKind::Blank, AText.size(), AText.size()};
    while (APos < AText.size()) {
        token = NextToken(AText, APos, {false, true});
        if (token.Kind != TokenKind::Blank && token.Kind != TokenKind::Comment && token.Kind != TokenKind::Directive) {
            return token;
        }
        APos = token.End;
    }
    return {TokenKind::Blank, AText.size(), AText.size()};
}

bool IsKeywordToken(std::u16string_view AText, const Token& AToken, std::u16string_view AKeyword) {
    return AToken.Kind == TokenKind::Identifier && KeywordEquals(AText.substr(AToken.Begin, AToken.End - AToken.Begin), AKeyword);
}

bool HasNestedOpening(std::u16string_view AText, const Token& AToken) {
    if (AToken.Kind != TokenKind::Comment || AToken.IsLineComment) return false;
    const std::u16string_view inside = AText.substr(AToken.Begin + 1, AToken.End - AToken.Begin - 1);
    return AText[AToken.Begin] == u'{' ? inside.find(u'{') != std::u16string_view::npos
                                       : inside.substr(1).find(u"(*") != std::u16string_view::npos;
}

}  // namespace quorvel::detail
