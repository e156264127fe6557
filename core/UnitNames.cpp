#include "UnitNames.h"

#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel {

std::vector<std::u16string> DefaultUnitScopeNames() {
    // A new VCL project for Windows: the platform's scopes first, then the common ones.
    return {u"Winapi",   u"System.Win", u"Data.Win", u"Datasnap.Win", u"Web.Win",     u"Soap.Win",    u"Xml.Win",
            u"Bde",      u"System",     u"Xml",      u"Data",         u"Datasnap",    u"Web",         u"Soap",
            u"Vcl",      u"Vcl.Imaging", u"Vcl.Touch", u"Vcl.Samples", u"Vcl.Shell"};
}

}  // namespace quorvel

namespace quorvel::detail {

std::u16string_view PlainUnitName(const TUsesEntry& AEntry) {
    const std::u16string_view text = std::u16string_view(AEntry.UnitName).substr(AEntry.NameStart);
    for (char16_t c : text) {
        if (!IsIdentifierChar(c) && c != u'.') return {};
    }
    return text;
}

std::u16string ElementUnitName(const TUsesEntry& AEntry) {
    if (const std::u16string_view plain = PlainUnitName(AEntry); !plain.empty()) return std::u16string(plain);
    const std::u16string_view text = std::u16string_view(AEntry.UnitName).substr(AEntry.NameStart);
    std::u16string name;
    bool afterName = false;
    for (std::size_t pos = 0; pos < text.size();) {
        const Token token = NextToken(text, pos);
        pos = token.End;
        if (token.Kind == TokenKind::Blank || token.Kind == TokenKind::Comment || token.Kind == TokenKind::Directive) {
            continue;
        }
        const bool dot = token.Kind == TokenKind::Symbol && text[token.Begin] == u'.';
        if (token.Kind == TokenKind::Identifier && !afterName) {
            name += text.substr(token.Begin, token.End - token.Begin);
            afterName = true;
        } else if (dot && afterName) {
            name += u'.';
            afterName = false;
        } else {
            break;  // `in` and its path
        }
    }
    return name;
}

std::u16string_view WithoutScope(std::u16string_view AName, const std::vector<std::u16string>& AScopeNames) {
    for (const std::u16string& scope : AScopeNames) {
        if (AName.size() > scope.size() + 1 && AName[scope.size()] == u'.' &&
            SameAsciiName(AName.substr(0, scope.size()), scope)) {
            return AName.substr(scope.size() + 1);
        }
    }
    return {};
}

}  // namespace quorvel::detail
