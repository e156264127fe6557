#include "UsedIdentifiers.h"

#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {

void IdentifierFilter::Add(std::u16string_view AFolded) {
    if (AFolded.empty()) return;
    FIdentifiers.insert(AFolded);
    if (AFolded.size() < FLengths.size()) FLengths.set(AFolded.size());
    if (AFolded[0] < FFirstUnits.size()) FFirstUnits[AFolded[0]] = true;
}

bool IdentifierFilter::MayContain(std::u16string_view AToken) const {
    if (AToken.size() < FLengths.size() && !FLengths.test(AToken.size())) return false;
    const char16_t first = FoldAsciiCase(AToken[0]);
    return first >= FFirstUnits.size() || FFirstUnits[first];
}

std::u16string_view IdentifierFilter::Find(std::u16string_view AFolded) const {
    const auto found = FIdentifiers.find(AFolded);
    return found == FIdentifiers.end() ? std::u16string_view() : *found;
}

std::unordered_set<std::u16string_view> UsedAmong(std::u16string_view AText, const IdentifierFilter& AFilter) {
    std::unordered_set<std::u16string_view> used;
    std::u16string folded;
    std::size_t pos = 0;
    while (pos < AText.size()) {
        const char16_t c = AText[pos];
        if (IsIdentifierChar(c)) {
            const std::size_t end = SkipIdentifier(AText, pos);
            const std::u16string_view token = AText.substr(pos, end - pos);
            if (IsIdentifierStart(c) && AFilter.MayContain(token)) {
                folded.assign(token);
                for (char16_t& unit : folded) unit = FoldAsciiCase(unit);
                if (const std::u16string_view found = AFilter.Find(folded); !found.empty()) used.insert(found);
            }
            pos = end;
        } else if (MayOpenCommentOrString(c)) {
            const std::size_t end = SkipCommentOrString(AText, pos);
            pos = end > pos ? end : pos + 1;
        } else {
            ++pos;
        }
    }
    return used;
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
