#include "InterfaceIdentifiers.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "CompilerDirective.h"
#include "ImplementationFacts.h"
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
    TokenCollector(const TIncludeReader& AReadInclude, bool ANestedComments) : FWalker(AReadInclude) {
        FRules = {ANestedComments, true};
        FWalker.SetLexRules(FRules);
    }

    void Collect(std::u16string_view AText, std::size_t AFrom) {
        FWalker.Walk(AText, AFrom, [this](std::u16string_view AIn, const Token& AToken) { return Take(AIn, AToken); });
    }

    // Collects on from where the last call stopped (AFrom at first) until at
    // least ACount more tokens are there; false once the text has no more.
    // For a reader that may stop early: the rest of a long file is never
    // tokenized. Reads the text alone, no include file.
    bool CollectMore(std::u16string_view AText, std::size_t AFrom, std::size_t ACount) {
        if (FFinished) return false;
        const std::size_t target = FTokens.size() + ACount;
        for (std::size_t pos = FResume.value_or(AFrom); pos < AText.size();) {
            const Token token = NextToken(AText, pos, FRules);
            pos = token.End;
            if (!Take(AText, token)) break;
            if (FTokens.size() >= target) {
                FResume = pos;
                return true;
            }
        }
        FFinished = true;
        return FTokens.size() >= target;
    }

    // The directives of the unit's header, before `interface`: a
    // {$SCOPEDENUMS ON} there holds in the interface too.
    void TakeHeader(std::u16string_view AHeader) {
        for (std::size_t pos = 0; pos < AHeader.size();) {
            const Token token = NextToken(AHeader, pos, FRules);
            if (token.Kind == TokenKind::Directive) {
                TakeDirective(ReadDirective(AHeader.substr(token.Begin, token.End - token.Begin)));
            }
            pos = token.End;
        }
    }

    std::vector<ScanToken>& Tokens() { return FTokens; }
    // Macros that stand for one identifier (`{$DEFINE TNameMacro := TProcess}`),
    // folded: a declaration of the macro's name declares that identifier.
    const std::vector<std::pair<std::u16string, std::u16string>>& IdentifierMacros() const { return FMacros; }
    // A comment that would run further read nested: worth a second reading.
    bool SawNestedOpening() const { return FSawNestedOpening; }

private:
    IncludeWalker FWalker;  // holds the included texts the tokens point into
    std::vector<ScanToken> FTokens;
    LexRules FRules;
    bool FSawNestedOpening = false;
    bool FScopedEnums = false;
    std::vector<bool> FPushed;   // {$PUSH} saves the switch, {$POP} brings it back
    int FConditionalDepth = 0;   // inside {$IF...}: the branch may be skipped
    bool FEscapedNext = false;   // `&` right before a name: the name is no keyword
    std::vector<std::pair<std::u16string, std::u16string>> FMacros;
    std::optional<std::size_t> FResume;  // where CollectMore goes on
    bool FFinished = false;              // CollectMore met the end (or `implementation`)

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
            break;
        case TokenKind::Comment:
            FSawNestedOpening = FSawNestedOpening || (!FRules.NestedComments && HasNestedOpening(AText, AToken));
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

    // Include directives are the walker's. Every branch of conditional
    // compilation is read, so a switch turned on inside one may be off for the
    // compiler: there only turning scoped enumerations off counts (members
    // declared that are not cost an order kept, never a broken program).
    void TakeMacro(std::u16string_view AArgument);

    void TakeDirective(const CompilerDirective& ADirective) {
        const std::u16string_view name = ADirective.Name;
        if (KeywordEquals(name, u"IF") || KeywordEquals(name, u"IFDEF") || KeywordEquals(name, u"IFNDEF") ||
            KeywordEquals(name, u"IFOPT")) {
            ++FConditionalDepth;
        } else if ((KeywordEquals(name, u"ENDIF") || KeywordEquals(name, u"IFEND")) && FConditionalDepth > 0) {
            --FConditionalDepth;
        } else if (KeywordEquals(name, u"DEFINE")) {
            TakeMacro(ADirective.Argument);
        } else if (KeywordEquals(name, u"PUSH")) {
            FPushed.push_back(FScopedEnums);
        } else if (KeywordEquals(name, u"POP")) {
            if (!FPushed.empty()) {
                FScopedEnums = FScopedEnums && FPushed.back();  // a pop inside a branch may not happen either
                if (FConditionalDepth == 0) FScopedEnums = FPushed.back();
                FPushed.pop_back();
            }
        } else if (KeywordEquals(name, u"SCOPEDENUMS")) {
            const std::u16string_view arg = ADirective.Argument;
            if (KeywordEquals(arg.substr(0, 3), u"OFF") || arg.starts_with(u"-")) {
                FScopedEnums = false;
            } else if ((KeywordEquals(arg.substr(0, 2), u"ON") || arg.starts_with(u"+")) && FConditionalDepth == 0) {
                FScopedEnums = true;
            }
        }
    }
};

void TokenCollector::TakeMacro(std::u16string_view AArgument) {
    const std::size_t assign = AArgument.find(u":=");
    if (assign == std::u16string_view::npos) return;
    const std::u16string_view name = TrimBlanks(AArgument.substr(0, assign));
    const std::u16string_view value = TrimBlanks(AArgument.substr(assign + 2));
    const auto isIdentifier = [](std::u16string_view AText) {
        return !AText.empty() && IsIdentifierStart(AText.front()) &&
               std::all_of(AText.begin(), AText.end(), [](char16_t AUnit) { return IsIdentifierChar(AUnit); });
    };
    if (isIdentifier(name) && isIdentifier(value)) FMacros.emplace_back(FoldAscii(name), FoldAscii(value));
}

// What a predefined type may be, by its folded name: the types it is in one
// mode or on one target or another (`Integer` is `SmallInt` in Free Pascal's
// default mode, `LongInt` in objfpc and Delphi; `string` is `AnsiString`
// under {$H+}, `ShortString` under {$H-}, `UnicodeString` in Delphi). Two
// helpers are for one type, and two parameter types may be one, when their
// lists meet. Empty for every other name.
const std::vector<std::u16string_view>& PredefinedType(std::u16string_view AFolded) {
    static const std::unordered_map<std::u16string_view, std::vector<std::u16string_view>> kTypes = {
        {u"SHORTINT", {u"SHORTINT"}}, {u"INT8", {u"SHORTINT"}},
        {u"SMALLINT", {u"SMALLINT"}}, {u"INT16", {u"SMALLINT"}},
        {u"INTEGER", {u"SMALLINT", u"LONGINT"}},
        {u"LONGINT", {u"LONGINT"}},  {u"INT32", {u"LONGINT"}},
        {u"INT64", {u"INT64"}},
        {u"NATIVEINT", {u"LONGINT", u"INT64"}}, {u"PTRINT", {u"LONGINT", u"INT64"}},
        {u"SIZEINT", {u"LONGINT", u"INT64"}},   {u"INTPTR", {u"LONGINT", u"INT64"}},
        {u"BYTE", {u"BYTE"}},   {u"UINT8", {u"BYTE"}},
        {u"WORD", {u"WORD"}},   {u"UINT16", {u"WORD"}},
        {u"LONGWORD", {u"LONGWORD"}}, {u"CARDINAL", {u"LONGWORD"}}, {u"DWORD", {u"LONGWORD"}},
        {u"UINT32", {u"LONGWORD"}},
        {u"QWORD", {u"QWORD"}}, {u"UINT64", {u"QWORD"}},
        {u"NATIVEUINT", {u"LONGWORD", u"QWORD"}}, {u"PTRUINT", {u"LONGWORD", u"QWORD"}},
        {u"SIZEUINT", {u"LONGWORD", u"QWORD"}},   {u"UINTPTR", {u"LONGWORD", u"QWORD"}},
        {u"STRING", {u"ANSISTRING", u"SHORTSTRING", u"UNICODESTRING"}},
        {u"ANSISTRING", {u"ANSISTRING"}}, {u"SHORTSTRING", {u"SHORTSTRING"}},
        {u"UNICODESTRING", {u"UNICODESTRING"}}, {u"WIDESTRING", {u"WIDESTRING"}},
        {u"CHAR", {u"ANSICHAR", u"WIDECHAR"}}, {u"ANSICHAR", {u"ANSICHAR"}},
        {u"WIDECHAR", {u"WIDECHAR"}}, {u"UNICODECHAR", {u"WIDECHAR"}},
        {u"REAL", {u"DOUBLE"}}, {u"DOUBLE", {u"DOUBLE"}}, {u"SINGLE", {u"SINGLE"}},
        {u"EXTENDED", {u"EXTENDED", u"DOUBLE"}}, {u"CURRENCY", {u"CURRENCY"}}, {u"COMP", {u"COMP"}},
        {u"BOOLEAN", {u"BOOLEAN"}}, {u"POINTER", {u"POINTER"}}, {u"VARIANT", {u"VARIANT"}},
    };
    static const std::vector<std::u16string_view> kNone;
    const auto found = kTypes.find(AFolded);
    return found == kTypes.end() ? kNone : found->second;
}

// Reads top-level declarations from the flattened tokens. Every step moves on
// by at least one token, so any token list ends.
class DeclarationReader {
public:
    DeclarationReader(const std::vector<ScanToken>& ATokens, TIdentifierSet& AIdentifiers)
        : FTokens(ATokens), FIdentifiers(AIdentifiers) {}

    // Where ATokens may grow while reading: AMore appends tokens, false when
    // there are none left. Reading asks for them only as far as it goes.
    void ReadOnDemand(std::function<bool()> AMore) { FMore = std::move(AMore); }

    // Also where each name is first declared (offsets into AText, whose tokens
    // these are); with AStopAtRoutine, reading ends after the first routine's
    // header: what follows may be its local declarations.
    // AUpTo: reading ends before the first declaration that begins after
    // it. Whatever one reads declares nothing before where it begins, so
    // every name declared up to there is in APositions then.
    void TrackPositions(std::u16string_view AText, OwnDeclarationMap& APositions, bool AStopAtRoutine,
                        std::size_t AUpTo) {
        FText = AText;
        FPositions = &APositions;
        FStopAtRoutine = AStopAtRoutine;
        FUpTo = AUpTo;
    }

    void Run() {
        std::size_t i = 0;
        while (Has(i)) {
            if (FPositions && static_cast<std::size_t>(FTokens[i].Text.data() - FText.data()) > FUpTo) return;
            if (const std::optional<std::size_t> next = SectionKeyword(i)) {
                if (*next == kStop || FStopped) return;
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
    std::unordered_map<std::u16string, std::u16string> FAliases;  // `TText = string;`, folded
    std::u16string_view FText;
    OwnDeclarationMap* FPositions = nullptr;
    bool FStopAtRoutine = false;
    bool FStopped = false;
    std::size_t FUpTo = 0;
    std::function<bool()> FMore;

    // Whether token AIndex exists, fetching more tokens as needed.
    bool Has(std::size_t AIndex) const {
        while (AIndex >= FTokens.size() && FMore && FMore()) {
        }
        return AIndex < FTokens.size();
    }

    bool IsWord(std::size_t AIndex) const { return Has(AIndex) && FTokens[AIndex].Kind == ScanKind::Word; }
    bool IsKeyword(std::size_t AIndex, std::u16string_view AKeyword) const {
        return IsWord(AIndex) && !FTokens[AIndex].Escaped && KeywordEquals(FTokens[AIndex].Text, AKeyword);
    }
    bool IsSymbol(std::size_t AIndex, char16_t ASymbol) const {
        return Has(AIndex) && FTokens[AIndex].Kind == ScanKind::Symbol &&
               FTokens[AIndex].Text[0] == ASymbol;
    }
    void Declare(std::size_t AIndex) {
        const std::u16string_view name = FTokens[AIndex].Text;
        if (FPositions == nullptr) {
            FIdentifiers.insert(FoldAscii(name));
        } else if (name.data() >= FText.data() && name.data() < FText.data() + FText.size()) {
            FPositions->try_emplace(FoldAscii(name), static_cast<std::size_t>(name.data() - FText.data()));
        }
    }

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
        if (IsKeyword(AIndex, u"procedure") || IsKeyword(AIndex, u"function") || IsKeyword(AIndex, u"operator")) {
            FSection = Section::None;
            return Routine(AIndex);
        }
        if (IsKeyword(AIndex, u"property")) {
            FSection = Section::None;
            if (IsWord(AIndex + 1)) Declare(AIndex + 1);
            return SkipPastSemicolon(AIndex + 1);
        }
        if (IsKeyword(AIndex, u"uses")) {
            FSection = Section::None;
            return UsesClause(AIndex + 1);
        }
        if (IsKeyword(AIndex, u"exports") || IsKeyword(AIndex, u"label")) {
            FSection = Section::None;
            return SkipPastSemicolon(AIndex + 1);
        }
        if (IsKeyword(AIndex, u"begin")) return SkipCode(AIndex + 1);
        if (IsKeyword(AIndex, u"initialization") ||
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
        if (IsWord(i) && IsSymbol(i + 1, u';')) FAliases[FoldAscii(FTokens[name].Text)] = FoldAscii(FTokens[i].Text);
        if (IsKeyword(i, u"type")) ++i;  // a type of its own, no alias
        return SkipPastSemicolon(TypeExpression(i));
    }

    // `uses A, B.C in 'c.pas';`: each unit as "USES <Name>", spelled as written.
    std::size_t UsesClause(std::size_t AIndex) {
        const std::size_t end = SkipPastSemicolon(AIndex);
        std::u16string name;
        for (std::size_t i = AIndex; i < end; ++i) {
            if (IsWord(i) && !IsKeyword(i, u"in")) {
                name += FTokens[i].Text;
            } else if (IsSymbol(i, u'.')) {
                name += u'.';
            } else if (!name.empty()) {
                FIdentifiers.insert(std::u16string(kUsesPrefix) + name);
                name.clear();
            }
        }
        return end;
    }

    // `procedure Name[<T>](params)[: Type]; directives;` or `operator + (...)`:
    // the name, or the operator's pseudo-identifier; and for a routine with
    // `overload`, the pseudo-identifiers of overloading.
    std::size_t Routine(std::size_t AIndex) {
        std::size_t i = AIndex + 1;
        std::u16string name;
        if (IsKeyword(AIndex, u"operator")) {
            std::u16string op(kOperatorPrefix);
            for (; Has(i) && !IsSymbol(i, u'(') && !IsSymbol(i, u';'); ++i) op += FoldAscii(FTokens[i].Text);
            FIdentifiers.insert(std::move(op));
        } else if (IsWord(i)) {
            name = FoldAscii(FTokens[i].Text);
            if (!IsSymbol(i + 1, u'.')) Declare(i);  // `TThing.Method`: no global
            ++i;
            if (IsSymbol(i, u'<')) i = SkipAngles(i);
        }
        if (FStopAtRoutine) {
            FStopped = true;
            return FTokens.size();
        }
        std::u16string signature;
        if (IsSymbol(i, u'(')) {
            const std::size_t close = SkipBalanced(i);
            signature = Signature(i + 1, close - 1);
            i = close;
        }
        i = SkipPastSemicolon(i);
        bool overload = false;
        while (IsWord(i) && !StartsDeclaration(i)) {  // directives, each ended by `;`
            overload = overload || IsKeyword(i, u"overload");
            i = SkipPastSemicolon(i);
        }
        if (overload && !name.empty()) {
            FIdentifiers.insert(std::u16string(kOverloadPrefix) + name);
            FIdentifiers.insert(std::u16string(kSignaturePrefix) + name + u' ' + signature);
        }
        return i;
    }

    bool StartsDeclaration(std::size_t AIndex) const {
        static constexpr std::u16string_view kStarts[] = {
            u"const",       u"resourcestring", u"type",     u"var",     u"threadvar", u"procedure",
            u"function",    u"operator",       u"property", u"uses",    u"exports",   u"label",
            u"begin",       u"initialization", u"finalization", u"end", u"generic",   u"constructor",
            u"destructor",  u"class"};
        for (std::u16string_view keyword : kStarts) {
            if (IsKeyword(AIndex, keyword)) return true;
        }
        return false;
    }

    // The parameters between AFrom and ATo (the brackets left out), one
    // `modifier:type[=];` each: the type's predefined identities as "!A/B",
    // other types as written (folded); `=` for a default value.
    std::u16string Signature(std::size_t AFrom, std::size_t ATo) const {
        std::u16string signature;
        std::size_t i = AFrom;
        while (i < ATo) {
            std::size_t end = i;
            for (int depth = 0; end < ATo && !(depth == 0 && IsSymbol(end, u';')); ++end) {
                if (IsSymbol(end, u'(') || IsSymbol(end, u'[')) ++depth;
                else if (IsSymbol(end, u')') || IsSymbol(end, u']')) --depth;
            }
            std::size_t k = i;
            std::u16string modifier;
            if (IsKeyword(k, u"const") || IsKeyword(k, u"var") || IsKeyword(k, u"out") || IsKeyword(k, u"constref")) {
                modifier = FoldAscii(FTokens[k++].Text);
            }
            std::size_t names = 0;
            for (; k < end && !IsSymbol(k, u':'); ++k) names += IsWord(k) ? 1 : 0;
            std::u16string type;
            bool withDefault = false;
            for (++k; k < end; ++k) {
                if (IsSymbol(k, u'=')) {
                    withDefault = true;
                    break;
                }
                if (!type.empty()) type += u' ';
                type += FoldAscii(FTokens[k].Text);
            }
            const std::u16string identities = TypeIdentities(type);
            for (std::size_t n = 0; n < names; ++n) {
                signature += modifier + u':' + identities + (withDefault ? u"=;" : u";");
            }
            i = end + 1;
        }
        return signature;
    }

    // "!A/B" for a predefined type (through the unit's aliases), else the name.
    std::u16string TypeIdentities(std::u16string AFolded) const {
        for (int hops = 0; hops < 8; ++hops) {  // alias chains end; cycles are cut
            const auto alias = FAliases.find(AFolded);
            if (alias == FAliases.end()) break;
            AFolded = alias->second;
        }
        const auto& identities = PredefinedType(AFolded);
        if (identities.empty()) return AFolded;
        std::u16string joined = u"!";
        for (std::u16string_view identity : identities) {
            if (joined.size() > 1) joined += u'/';
            joined += identity;
        }
        return joined;
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
            if (IsSymbol(i, u'[')) i = ArrayIndex(i);
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
            // One pseudo-identifier per type the target may be: helpers for
            // `string` and `AnsiString` meet in "HELPER FOR ANSISTRING".
            const std::u16string identities = TypeIdentities(FoldAscii(type));
            if (!identities.starts_with(u'!')) {
                FIdentifiers.insert(std::u16string(kHelperPrefix) + identities);
            } else {
                for (std::size_t from = 1; from <= identities.size();) {
                    const std::size_t slash = std::min(identities.find(u'/', from), identities.size());
                    FIdentifiers.insert(std::u16string(kHelperPrefix) + identities.substr(from, slash - from));
                    from = slash + 1;
                }
            }
            ++i;
        }
        return SkipBody(i);
    }

    // From `[` of an array's index types past its `]`: `array[(Low, High)]`
    // declares Low and High.
    std::size_t ArrayIndex(std::size_t AOpen) {
        const std::size_t close = SkipBalanced(AOpen);
        for (std::size_t i = AOpen + 1; i < close; ++i) {
            if (IsSymbol(i, u'(') && (IsSymbol(i - 1, u'[') || IsSymbol(i - 1, u','))) i = Enumeration(i) - 1;
        }
        return close;
    }

    // `( ... )` after a field's `:` is an anonymous enumeration unless it holds
    // `:` (the fields of a variant part).
    bool IsEnumerationAfterColon(std::size_t AOpen) const {
        const std::size_t close = SkipBalanced(AOpen);
        for (std::size_t i = AOpen + 1; i + 1 < close; ++i) {
            if (IsSymbol(i, u':')) return false;
        }
        return true;
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

    // From just after a `begin` past its `end`: a routine body that an include
    // file gives in a branch for the implementation, which is read as well.
    std::size_t SkipCode(std::size_t AIndex) {
        int depth = 1;
        for (std::size_t i = AIndex; Has(i); ++i) {
            if (IsKeyword(i, u"end")) {
                if (--depth == 0) return i + 1;
            } else if (IsKeyword(i, u"begin") || IsKeyword(i, u"case") || IsKeyword(i, u"try") || IsKeyword(i, u"asm")) {
                ++depth;
            }
        }
        return FTokens.size();
    }

    // From just after a structure's keyword (and heritage) past its `end`;
    // nested records, classes and interfaces count, variant parts do not.
    std::size_t SkipBody(std::size_t AIndex) {
        int depth = 1;
        std::size_t i = SkipRepeatedHeaders(AIndex);
        // The keyword of another branch (`packed {$IFDEF X} object {$ELSE} record {$ENDIF}`): no field starts so.
        while (IsKeyword(i, u"record")) ++i;
        for (; Has(i); ++i) {
            if (IsSymbol(i, u':') && IsSymbol(i + 1, u'(') && IsEnumerationAfterColon(i + 1)) {
                i = Enumeration(i + 1) - 1;  // a field's anonymous enumeration: its members are global
            } else if (IsSymbol(i, u'[') && i > 0 && IsKeyword(i - 1, u"array")) {
                i = ArrayIndex(i) - 1;
            } else if (IsKeyword(i, u"begin") || IsKeyword(i, u"try") || IsKeyword(i, u"asm")) {
                i = SkipCode(i + 1) - 1;  // a method body an include file gives in a branch for the implementation
            } else if (IsKeyword(i, u"end")) {
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

    // A header written once per branch of {$IFDEF}/{$ELSE} before one body
    // (`TThing = class(TA) TThing = class(TB) ... end`): every branch is read,
    // so the body starts after the last header.
    std::size_t SkipRepeatedHeaders(std::size_t AIndex) const {
        std::size_t i = AIndex;
        while (IsWord(i) && IsSymbol(i + 1, u'=')) {
            std::size_t k = i + 2;
            while (IsKeyword(k, u"packed") || IsKeyword(k, u"bitpacked")) ++k;
            if (IsKeyword(k, u"record")) {
                i = k + 1;
            } else if (IsStructureKeyword(k)) {
                const std::optional<std::size_t> body = BodyStart(k);
                if (!body) break;
                i = *body;
            } else {
                break;
            }
        }
        return i;
    }

    // From an opening `(` or `[` past its partner; brackets of either kind nest.
    std::size_t SkipBalanced(std::size_t AOpen) const {
        int depth = 0;
        for (std::size_t i = AOpen; Has(i); ++i) {
            if (IsSymbol(i, u'(') || IsSymbol(i, u'[')) ++depth;
            else if ((IsSymbol(i, u')') || IsSymbol(i, u']')) && --depth == 0) return i + 1;
        }
        return FTokens.size();
    }

    // From `<` past its `>`: generic parameters, constraints included.
    std::size_t SkipAngles(std::size_t AOpen) const {
        int depth = 0;
        for (std::size_t i = AOpen; Has(i); ++i) {
            if (IsSymbol(i, u'<')) ++depth;
            else if (IsSymbol(i, u'>') && --depth == 0) return i + 1;
            else if (IsSymbol(i, u';') && depth == 1 && IsSymbol(i + 1, u'=')) return i;  // unbalanced: give up
        }
        return FTokens.size();
    }

    // Past the next `;` outside brackets.
    std::size_t SkipPastSemicolon(std::size_t AIndex) const {
        int depth = 0;
        for (std::size_t i = AIndex; Has(i); ++i) {
            if (IsSymbol(i, u'(') || IsSymbol(i, u'[')) ++depth;
            else if ((IsSymbol(i, u')') || IsSymbol(i, u']')) && depth > 0) --depth;
            else if (IsSymbol(i, u';') && depth == 0) return i + 1;
        }
        return FTokens.size();
    }
};

// Reads the interface once, comments nested or not; true when a comment
// would have run further read the other way.
bool ReadInterface(std::u16string_view AText, std::size_t AInterfacePos, const TIncludeReader& AReadInclude,
                   bool ANestedComments, TIdentifierSet& AIdentifiers) {
    TokenCollector collector(AReadInclude, ANestedComments);
    auto& tokens = collector.Tokens();
    if (AInterfacePos != kNotFound) {
        collector.TakeHeader(AText.substr(0, AInterfacePos));
        collector.Collect(AText, AInterfacePos + 9);
    } else {
        // A unit may keep all of itself in an include file (`{$I rtlconst.inc}`):
        // its interface starts at the first `interface` of the expanded text.
        collector.Collect(AText, 0);
        const auto isInterface = [](const ScanToken& AToken) {
            return AToken.Kind == ScanKind::Word && KeywordEquals(AToken.Text, u"interface");
        };
        const auto found = std::find_if(tokens.begin(), tokens.end(), isInterface);
        if (found == tokens.end()) return collector.SawNestedOpening();
        tokens.erase(tokens.begin(), found + 1);
    }
    DeclarationReader(tokens, AIdentifiers).Run();
    for (const auto& [macro, identifier] : collector.IdentifierMacros()) {
        if (AIdentifiers.contains(macro)) AIdentifiers.insert(identifier);
    }
    return collector.SawNestedOpening();
}

}  // namespace

OwnDeclarationMap OwnDeclarations(std::u16string_view AText, std::size_t AUpTo) {
    OwnDeclarationMap positions;
    static const TIncludeReader kNoReader;
    TIdentifierSet scratch;
    try {
        // Only a unit has an interface section: a program's `interface` is a type.
        const bool unit = IsKeywordToken(AText, NextCodeToken(AText, 0), u"unit");
        const std::size_t interfacePos = unit ? FindKeyword(AText, u"interface", 0, AText.size()) : kNotFound;
        if (unit && interfacePos == kNotFound) return positions;
        if (interfacePos != kNotFound) {
            TokenCollector collector(kNoReader, false);
            DeclarationReader reader(collector.Tokens(), scratch);
            reader.ReadOnDemand([&] { return collector.CollectMore(AText, interfacePos + 9, 256); });
            reader.TrackPositions(AText, positions, false, AUpTo);
            reader.Run();
        }
        const std::size_t from = interfacePos == kNotFound ? 0 : FindKeyword(AText, u"implementation", 0, AText.size());
        if (from != kNotFound && from <= AUpTo) {
            // Reading ends at the first routine, mostly far before the end of the text.
            TokenCollector collector(kNoReader, false);
            const std::size_t start = interfacePos == kNotFound ? 0 : from + 14;
            DeclarationReader reader(collector.Tokens(), scratch);
            reader.ReadOnDemand([&] { return collector.CollectMore(AText, start, 256); });
            reader.TrackPositions(AText, positions, true, AUpTo);
            reader.Run();
        }
    } catch (const std::bad_alloc&) {
        positions.clear();  // nothing known: every name counts as the units'
    }
    return positions;
}

}  // namespace detail

TIdentifierSet F_InterfaceIdentifiers(std::u16string_view AUnitSource, const TIncludeReader& AReadInclude) {
    TIdentifierSet identifiers;
    const std::size_t interfacePos = detail::FindKeyword(AUnitSource, u"interface", 0, AUnitSource.size());
    try {
        // Free Pascal's own modes nest comments, Delphi's do not: where that
        // changes what is read, both readings count.
        if (detail::ReadInterface(AUnitSource, interfacePos, AReadInclude, false, identifiers)) {
            detail::ReadInterface(AUnitSource, interfacePos, AReadInclude, true, identifiers);
        }
        if (interfacePos != detail::kNotFound) detail::AddImplementationFacts(AUnitSource, identifiers);
    } catch (const std::bad_alloc&) {
        // A text too large to index declares what was read before.
    }
    return identifiers;
}

TUnitLinks F_UnitLinks(const TIdentifierSet& AIdentifiers) {
    TUnitLinks links;
    for (const std::u16string& fact : AIdentifiers) {
        if (fact.starts_with(detail::kUsesPrefix)) links.Uses.push_back(fact.substr(detail::kUsesPrefix.size()));
    }
    links.InitCode = AIdentifiers.contains(std::u16string(detail::kInitCode));
    F_MergeUnitLinks(links, {});
    return links;
}

void F_MergeUnitLinks(TUnitLinks& AInto, const TUnitLinks& AFrom) {
    AInto.Uses.insert(AInto.Uses.end(), AFrom.Uses.begin(), AFrom.Uses.end());
    AInto.InitCode = AInto.InitCode || AFrom.InitCode;
    // In one order however the set was filled, so that walks over them and
    // what they report do not depend on it.
    const auto before = [](const std::u16string& ALeft, const std::u16string& ARight) {
        return FoldAscii(ALeft) < FoldAscii(ARight);
    };
    std::sort(AInto.Uses.begin(), AInto.Uses.end(), before);
    AInto.Uses.erase(std::unique(AInto.Uses.begin(), AInto.Uses.end(),
                                 [](const auto& ALeft, const auto& ARight) { return SameAsciiName(ALeft, ARight); }),
                     AInto.Uses.end());
}

}  // namespace quorvel
