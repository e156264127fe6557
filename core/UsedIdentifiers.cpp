#include "UsedIdentifiers.h"

#include "PascalLexer.h"
#include "TextRules.h"
#include "UnitNames.h"

namespace quorvel::detail {

TIdentifierSet UsedIdentifiers(std::u16string_view AText) {
    TIdentifierSet identifiers;
    std::u16string folded;
    for (std::size_t pos = 0; pos < AText.size();) {
        const Token token = NextToken(AText, pos);
        pos = token.End;
        if (token.Kind != TokenKind::Identifier) continue;
        folded.assign(AText.substr(token.Begin, token.End - token.Begin));
        for (char16_t& c : folded) c = FoldAsciiCase(c);
        identifiers.insert(folded);
    }
    return identifiers;
}

std::u16string FirstSpelling(std::u16string_view AText, std::u16string_view AFoldedIdentifier) {
    for (std::size_t pos = 0; pos < AText.size();) {
        const Token token = NextToken(AText, pos);
        pos = token.End;
        const std::u16string_view text = AText.substr(token.Begin, token.End - token.Begin);
        if (token.Kind == TokenKind::Identifier && KeywordEquals(text, AFoldedIdentifier)) return std::u16string(text);
    }
    return std::u16string(AFoldedIdentifier);
}

}  // namespace quorvel::detail
