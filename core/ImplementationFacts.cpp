#include "ImplementationFacts.h"

#include <string>

#include "InterfaceIdentifiers.h"
#include "KeywordSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

// Where the final `end.` begins: the last `end` followed, after blanks, by a `.`.
std::size_t FinalEnd(std::u16string_view AText) {
    for (std::size_t dot = AText.rfind(u'.'); dot != std::u16string_view::npos && dot > 0;
         dot = AText.rfind(u'.', dot - 1)) {
        std::size_t k = dot;
        while (k > 0 && IsBlank(AText[k - 1])) --k;
        if (k >= 3 && KeywordEquals(AText.substr(k - 3, 3), u"end") && (k == 3 || !IsIdentifierChar(AText[k - 4]))) {
            return k - 3;
        }
    }
    return kNotFound;
}

// Whether the old-style block `begin ... end.` that may close the unit holds
// code, read backwards from its final `end.` (reading the whole
// implementation forwards would cost every unit a second scan); AAfterUses is
// where the implementation's uses clause (or the keyword) ends. A comment
// just before `end.` hides what is there: then it counts as code. A block
// whose last statement ends in `end;` reads as a routine's end and is missed.
bool FinalBlockHasCode(std::u16string_view AText, std::size_t AAfterUses) {
    const std::size_t dot = FinalEnd(AText);
    if (dot == kNotFound) return false;
    std::size_t k = dot;
    while (k > 0 && IsBlank(AText[k - 1])) --k;
    if (k <= AAfterUses) return false;
    const char16_t before = AText[k - 1];
    if (before == u'}' || before == u')' || before == u'\'') return true;
    if (before == u';') {
        --k;
        while (k > 0 && IsBlank(AText[k - 1])) --k;
        if (k <= AAfterUses) return false;
    }
    std::size_t wordStart = k;
    while (wordStart > 0 && IsIdentifierChar(AText[wordStart - 1])) --wordStart;
    const std::u16string_view word = AText.substr(wordStart, k - wordStart);
    if (before == u';') return !KeywordEquals(word, u"end");  // `end; end.`: a routine's end
    return !(KeywordEquals(word, u"begin") || KeywordEquals(word, u"implementation"));
}

}  // namespace

void AddImplementationFacts(std::u16string_view AText, TIdentifierSet& AIdentifiers) {
    const std::size_t implementation = FindKeyword(AText, u"implementation", 0, AText.size());
    if (implementation == kNotFound) return;
    std::size_t afterUses = implementation + 14;
    Token token = NextCodeToken(AText, afterUses);
    if (IsKeywordToken(AText, token, u"uses")) {
        std::u16string name;
        for (token = NextCodeToken(AText, token.End); token.Begin < AText.size(); token = NextCodeToken(AText, token.End)) {
            const std::u16string_view text = AText.substr(token.Begin, token.End - token.Begin);
            if (token.Kind == TokenKind::Identifier && !KeywordEquals(text, u"in")) {
                name += text;
            } else if (text == u".") {
                name += u'.';
            } else if (!name.empty()) {
                AIdentifiers.insert(std::u16string(kUsesPrefix) + name);
                name.clear();
            }
            if (text == u";") break;
        }
        afterUses = token.End;
    }
    bool sections = false;
    for (std::u16string_view keyword : {u"initialization", u"finalization"}) {
        const std::size_t at = FindKeyword(AText, std::u16string(keyword), implementation, AText.size());
        if (at == kNotFound) continue;
        sections = true;
        Token next = NextCodeToken(AText, at + keyword.size());
        while (next.Begin < AText.size() && AText[next.Begin] == u';') next = NextCodeToken(AText, next.End);
        if (next.Begin < AText.size() && !IsKeywordToken(AText, next, u"end") && !IsKeywordToken(AText, next, u"finalization")) {
            AIdentifiers.insert(std::u16string(kInitCode));
            return;
        }
    }
    if (!sections && FinalBlockHasCode(AText, afterUses)) AIdentifiers.insert(std::u16string(kInitCode));
}

}  // namespace quorvel::detail
