#include "InterfaceIdentifiers.h"

#include <algorithm>
#include <vector>

#include "CompilerDirective.h"
#include "IncludeWalker.h"
#include "KeywordSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel {
namespace detail {
namespace {


enum class ScanKind { Word, Symbol, Other };

// One token of the interface section with comments, blanks and directives gone.
struct ScanToken {
    ScanKind Kind;
    std::u16string_view Text;
    bool Escaped = false;      // `&begin`: a name, never a keyword
    bool ScopedEnums = false;  // {$SCOPEDENUMS ON} was in force here
};

// Flattens the interface section and the include files it names into one
// token list, up to `implementation`.
class TokenCollector {
public:
    explicit TokenCollector(const TIncludeReader& AReadInclude) : FWalker(AReadInclude) {}

    void Collect(std::u16string_view AText, std::size_t AFrom) {
        FWalker.Walk(AText, AFrom, [this](std::u16string_view AIn, const Token& AToken) { return Take(AIn, AToken); });
    }

    std::vector<ScanToken>& Tokens() { return FTokens; }

private:
    IncludeWalker FWalker;  // holds the included texts the tokens point into
    std::vector<ScanToken> FTokens;
    bool FScopedEnums = false;
    bool FEscapedNext = false;  // `&` right before a name: the name is no keyword

    void Add(ScanKind AKind, std::u16string_view AText) { FTokens.push_back({AKind, AText, false, FScopedEnums}); }

    // False at `implementation`.
    bool Take(std::u16string_view AText, const Token& AToken) {
        const std::u16string_view text = AText.substr(AToken.Begin, AToken.End - AToken.Begin);
        if (FEscapedNext) {
            FEscapedNext = false;
            Add(ScanKind::Word, text);
            FTokens.back().Escaped = true;
            return true;
        }
        switch (AToken.Kind) {
        case TokenKind::Blank:
        case TokenKind::Comment:
            break;
        case TokenKind::Directive:
            TakeDirective(ReadDirective(text));
            break;
        case TokenKind::Identifier:
            if (KeywordEquals(text, u"implementation")) return false;
            Add(ScanKind::Word, text);
            break;
        case TokenKind::Symbol:
            FEscapedNext = text == u"&" && AToken.End < AText.size() && IsIdentifierStart(AText[AToken.End]);
            if (!FEscapedNext) Add(ScanKind::Symbol, text);
            break;
        default:
            Add(ScanKind::Other, text);
            break;
        }
        return true;
    }

    // Include directives are the walker's.
    void TakeDirective(const CompilerDirective& ADirective) {
        if (KeywordEquals(ADirective.Name, u"SCOPEDENUMS")) {
            const std::u16string_view arg = ADirective.Argument;
            if (KeywordEquals(arg.substr(0, 3), u"OFF") || arg.starts_with(u"-")) FScopedEnums = false;
            else if (KeywordEquals(arg.substr(0, 2), u"ON") || arg.starts_with(u"+")) FScopedEnums = true;
        }
    }
};

// Reads top-level declarations from the flattened tokens. Every step moves on
// by at least one token, so any token list ends.
class DeclarationReader {
public:
    DeclarationReader(const std::vector<ScanToken>& ATokens, TIdentifierSet& AIdentifiers)
        : FTokens(ATokens), FIdentifiers(AIdentifiers) {}

    void Run() {
        std::size_t i = 0;
        while (i < FTokens.size()) {
            if (const std::optional<std::size_t> next = SectionKeyword(i)) {
                if (*next == kStop) return;
                i = *next;
            } else if (IsSymbol(i, u'[')) {
                i = SkipBalanced(i);  // an attribute
            } else {
                i = Declaration(i);
            }
        }
    }

private:
    enum class Section { None, Const, Type, Var };
    static constexpr std::size_t kStop = static_cast<std::size_t>(-1);

    const std::vector<ScanToken>& FTokens;
    TIdentifierSet& FIdentifiers;
    Section FSection = Section::None;

    bool IsWord(std::size_t AIndex) const { return AIndex < FTokens.size() && FTokens[AIndex].Kind == ScanKind::Word; }
    bool IsKeyword(std::size_t AIndex, std::u16string_view AKeyword) const {
        return IsWord(AIndex) && !FTokens[AIndex].Escaped && KeywordEquals(FTokens[AIndex].Text, AKeyword);
    }
    bool IsSymbol(std::size_t AIndex, char16_t ASymbol) const {
        return AIndex < FTokens.size() && FTokens[AIndex].Kind == ScanKind::Symbol &&
               FTokens[AIndex].Text[0] == ASymbol;
    }
    void Declare(std::size_t AIndex) { FIdentifiers.insert(FoldAscii(FTokens[AIndex].Text)); }

    // A keyword that opens a section or a declaration of its own: the index to
    // go on from, kStop at the end of the interface, nothing for other tokens.
    std::optional<std::size_t> SectionKeyword(std::size_t AIndex) {
        static constexpr std::pair<std::u16string_view, Section> kSections[] = {
            {u"const", Section::Const}, {u"resourcestring", Section::Const}, {u"type", Section::Type},
            {u"var", Section::Var},     {u"threadvar", Section::Var}};
        for (const auto& [keyword, section] : kSections) {
            if (IsKeyword(AIndex, keyword)) {
                FSection = section;
                return AIndex + 1;
            }
        }
        if (IsKeyword(AIndex, u"procedure") || IsKeyword(AIndex, u"function") || IsKeyword(AIndex, u"property")) {
            FSection = Section::None;
            if (IsWord(AIndex + 1)) Declare(AIndex + 1);
            return SkipPastSemicolon(AIndex + 1);
        }
        if (IsKeyword(AIndex, u"uses") || IsKeyword(AIndex, u"operator") || IsKeyword(AIndex, u"exports") ||
            IsKeyword(AIndex, u"label")) {
            FSection = Section::None;
            return SkipPastSemicolon(AIndex + 1);
        }
        if (IsKeyword(AIndex, u"begin") || IsKeyword(AIndex, u"initialization") ||
            IsKeyword(AIndex, u"finalization") || (IsKeyword(AIndex, u"end") && IsSymbol(AIndex + 1, u'.'))) {
            return kStop;
        }
        return std::nullopt;
    }

    std::size_t Declaration(std::size_t AIndex) {
        switch (FSection) {
        case Section::Const: return ConstDeclaration(AIndex);
        case Section::Type: return TypeDeclaration(AIndex);
        case Section::Var: return VarDeclaration(AIndex);
        default: return AIndex + 1;
        }
    }

    // `Name = value;` or `Name: Type = value;`
    std::size_t ConstDeclaration(std::size_t AIndex) {
        if (!IsWord(AIndex) || !(IsSymbol(AIndex + 1, u'=') || IsSymbol(AIndex + 1, u':'))) return AIndex + 1;
        Declare(AIndex);
        std::size_t i = AIndex + 2;
        if (IsSymbol(AIndex + 1, u':')) i = TypeExpression(i);
        return SkipPastSemicolon(i);
    }

    // `A, B: Type [absolute X | = value] [hints];`
    std::size_t VarDeclaration(std::size_t AIndex) {
        std::size_t i = AIndex;
        while (IsWord(i) && IsSymbol(i + 1, u',')) i += 2;
        if (!IsWord(i) || !IsSymbol(i + 1, u':')) return AIndex + 1;
        for (std::size_t k = AIndex; k <= i; k += 2) Declare(k);
        return SkipPastSemicolon(TypeExpression(i + 2));
    }

    // `[generic] Name[<T, ...>] = [type] TypeExpression;`
    std::size_t TypeDeclaration(std::size_t AIndex) {
        std::size_t i = AIndex;
        if (IsKeyword(i, u"generic") && IsWord(i + 1)) ++i;
        if (!IsWord(i)) return AIndex + 1;
        const std::size_t name = i++;
        if (IsSymbol(i, u'<')) i = SkipAngles(i);
        if (!IsSymbol(i, u'=')) return AIndex + 1;
        Declare(name);
        ++i;
        if (IsKeyword(i, u"type")) ++i;
        return SkipPastSemicolon(TypeExpression(i));
    }

    // Reads a type from AIndex; declares the members of an enumerated type and
    // a helper's pseudo-identifier, passes over structured bodies. Returns where
    // the type ends or, for types of no interest, where it began.
    std::size_t TypeExpression(std::size_t AIndex) {
        std::size_t i = AIndex;
        while (IsKeyword(i, u"packed") || IsKeyword(i, u"bitpacked") || IsKeyword(i, u"type")) ++i;
        if (IsSymbol(i, u'(')) return Enumeration(i);
        if (IsKeyword(i, u"set") && IsKeyword(i + 1, u"of")) return TypeExpression(i + 2);
        if (IsKeyword(i, u"array")) {
            ++i;
            if (IsSymbol(i, u'[')) i = SkipBalanced(i);
            return IsKeyword(i, u"of") ? TypeExpression(i + 1) : i;
        }
        if (IsKeyword(i, u"record")) {
            if (IsKeyword(i + 1, u"helper")) return Helper(i + 2);
            return SkipBody(i + 1);
        }
        if (IsStructureKeyword(i)) {
            if (IsKeyword(i + 1, u"helper")) return Helper(i + 2);
            return Structure(i);
        }
        // `type helper for AnsiString`: `type` is gone already
        if (IsKeyword(i, u"helper") && (IsKeyword(i + 1, u"for") || IsSymbol(i + 1, u'('))) return Helper(i + 1);
        return i;
    }

    static constexpr std::u16string_view kStructures[] = {u"class",      u"object",       u"interface",
                                                          u"dispinterface", u"objcclass", u"objcprotocol",
                                                          u"objccategory", u"cppclass"};

    bool IsStructureKeyword(std::size_t AIndex) const {
        for (std::u16string_view keyword : kStructures) {
            if (IsKeyword(AIndex, keyword)) return true;
        }
        return false;
    }

    // A structure keyword in type position (after `=`, `:` or `packed`): where
    // its body begins, or nothing for a class reference (`class of`), a forward
    // declaration (`class;`) or a heritage-only one (`class(Exception);`).
    std::optional<std::size_t> BodyStart(std::size_t AIndex) const {
        if (IsKeyword(AIndex + 1, u"of") || IsSymbol(AIndex + 1, u';')) return std::nullopt;
        std::size_t i = AIndex + 1;
        while (IsKeyword(i, u"abstract") || IsKeyword(i, u"sealed")) ++i;
        if (IsSymbol(i, u'(')) i = SkipBalanced(i);
        if (IsSymbol(i, u';')) return std::nullopt;
        return i;
    }

    std::size_t Structure(std::size_t AIndex) {
        const std::optional<std::size_t> body = BodyStart(AIndex);
        return body ? SkipBody(*body) : AIndex + 1;
    }

    // Inside a body, `class` also starts members (`class var`, `class
    // function`) and `object` ends `procedure of object`: only a keyword
    // where a type begins opens a nested structure.
    bool IsInTypePosition(std::size_t AIndex) const {
        return AIndex > 0 && (IsSymbol(AIndex - 1, u'=') || IsSymbol(AIndex - 1, u':') ||
                              IsKeyword(AIndex - 1, u"packed") || IsKeyword(AIndex - 1, u"bitpacked"));
    }

    // After `helper`: `[(Ancestor)] for Type` and the body.
    std::size_t Helper(std::size_t AIndex) {
        std::size_t i = AIndex;
        if (IsSymbol(i, u'(')) i = SkipBalanced(i);
        if (!IsKeyword(i, u"for")) return SkipBody(i);
        ++i;
        std::u16string_view type;
        while (IsWord(i)) {
            type = FTokens[i].Text;  // the last part of a dotted name
            if (!IsSymbol(i + 1, u'.')) break;
            i += 2;
        }
        if (!type.empty()) {
            FIdentifiers.insert(std::u16string(kHelperPrefix) + FoldAscii(type));
            ++i;
        }
        return SkipBody(i);
    }

    // `(a, b = 2, c)`: the members, unless scoped enumerations are on.
    std::size_t Enumeration(std::size_t AOpen) {
        const bool scoped = FTokens[AOpen].ScopedEnums;
        const std::size_t close = SkipBalanced(AOpen);
        bool expectMember = true;
        int depth = 0;
        for (std::size_t i = AOpen + 1; i + 1 < close; ++i) {
            if (IsSymbol(i, u'(') || IsSymbol(i, u'[')) ++depth;
            else if (IsSymbol(i, u')') || IsSymbol(i, u']')) --depth;
            if (depth == 0 && IsSymbol(i, u',')) {
                expectMember = true;
            } else if (expectMember) {
                if (depth == 0 && IsWord(i) && !scoped) Declare(i);
                expectMember = false;
            }
        }
        return close;
    }

    // From just after a structure's keyword (and heritage) past its `end`;
    // nested records, classes and interfaces count, variant parts do not.
    std::size_t SkipBody(std::size_t AIndex) {
        int depth = 1;
        for (std::size_t i = AIndex; i < FTokens.size(); ++i) {
            if (IsKeyword(i, u"end")) {
                if (--depth == 0) return i + 1;
            } else if (IsKeyword(i, u"record")) {
                ++depth;
            } else if (IsStructureKeyword(i) && IsInTypePosition(i)) {
                if (const std::optional<std::size_t> body = BodyStart(i)) {
                    ++depth;
                    i = *body - 1;
                }
            }
        }
        return FTokens.size();
    }

    // From an opening `(` or `[` past its partner; brackets of either kind nest.
    std::size_t SkipBalanced(std::size_t AOpen) const {
        int depth = 0;
        for (std::size_t i = AOpen; i < FTokens.size(); ++i) {
            if (IsSymbol(i, u'(') || IsSymbol(i, u'[')) ++depth;
            else if ((IsSymbol(i, u')') || IsSymbol(i, u']')) && --depth == 0) return i + 1;
        }
        return FTokens.size();
    }

    // From `<` past its `>`: generic parameters, constraints included.
    std::size_t SkipAngles(std::size_t AOpen) const {
        int depth = 0;
        for (std::size_t i = AOpen; i < FTokens.size(); ++i) {
            if (IsSymbol(i, u'<')) ++depth;
            else if (IsSymbol(i, u'>') && --depth == 0) return i + 1;
            else if (IsSymbol(i, u';') && depth == 1 && IsSymbol(i + 1, u'=')) return i;  // unbalanced: give up
        }
        return FTokens.size();
    }

    // Past the next `;` outside brackets.
    std::size_t SkipPastSemicolon(std::size_t AIndex) const {
        int depth = 0;
        for (std::size_t i = AIndex; i < FTokens.size(); ++i) {
            if (IsSymbol(i, u'(') || IsSymbol(i, u'[')) ++depth;
            else if ((IsSymbol(i, u')') || IsSymbol(i, u']')) && depth > 0) --depth;
            else if (IsSymbol(i, u';') && depth == 0) return i + 1;
        }
        return FTokens.size();
    }
};

}  // namespace
}  // namespace detail

TIdentifierSet F_InterfaceIdentifiers(std::u16string_view AUnitSource, const TIncludeReader& AReadInclude) {
    TIdentifierSet identifiers;
    const std::size_t interfacePos = detail::FindKeyword(AUnitSource, u"interface", 0, AUnitSource.size());
    try {
        detail::TokenCollector collector(AReadInclude);
        auto& tokens = collector.Tokens();
        if (interfacePos != detail::kNotFound) {
            collector.Collect(AUnitSource, interfacePos + 9);
        } else {
            // A unit may keep all of itself in an include file (`{$I rtlconst.inc}`):
            // its interface starts at the first `interface` of the expanded text.
            collector.Collect(AUnitSource, 0);
            const auto isInterface = [](const detail::ScanToken& AToken) {
                return AToken.Kind == detail::ScanKind::Word && detail::KeywordEquals(AToken.Text, u"interface");
            };
            const auto found = std::find_if(tokens.begin(), tokens.end(), isInterface);
            if (found == tokens.end()) return identifiers;
            tokens.erase(tokens.begin(), found + 1);
        }
        detail::DeclarationReader(tokens, identifiers).Run();
    } catch (const std::bad_alloc&) {
        // A text too large to index declares what was read before.
    }
    return identifiers;
}

}  // namespace quorvel
