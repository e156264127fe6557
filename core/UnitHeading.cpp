#include "PascalLexer.h"
#include "UnitInterface.h"

namespace quorvel {
namespace {

// The next token that is neither blank nor comment; its Begin is the text's size at the end.
detail::Token NextCodeToken(std::u16string_view AText, std::size_t& APos) {
    while (APos < AText.size()) {
        const detail::Token token = detail::NextToken(AText, APos);
        APos = token.End;
        if (token.Kind != detail::TokenKind::Blank && token.Kind != detail::TokenKind::Comment &&
            token.Kind != detail::TokenKind::Directive) {
            return token;
        }
    }
    return {detail::TokenKind::Blank, AText.size(), AText.size()};
}

}  // namespace

std::u16string F_UnitHeadingName(std::u16string_view AUnitSource) {
    std::size_t pos = 0;
    const detail::Token keyword = NextCodeToken(AUnitSource, pos);
    if (keyword.Kind != detail::TokenKind::Identifier ||
        !detail::KeywordEquals(AUnitSource.substr(keyword.Begin, keyword.End - keyword.Begin), u"unit")) {
        return {};
    }
    std::u16string name;
    for (;;) {
        const detail::Token part = NextCodeToken(AUnitSource, pos);
        if (part.Kind != detail::TokenKind::Identifier) return {};
        name += AUnitSource.substr(part.Begin, part.End - part.Begin);
        const detail::Token next = NextCodeToken(AUnitSource, pos);
        if (next.Kind != detail::TokenKind::Symbol || AUnitSource[next.Begin] != u'.') return name;
        name += u'.';
    }
}

}  // namespace quorvel
