// What F_InterfaceIdentifiers reads from a unit: one table of small units and
// the identifiers (folded) they declare, includes and odd texts after it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "FormatTestSupport.h"
#include "UnitInterface.h"

namespace quorvel::test {
namespace {

struct ScanCase {
    const char* Name;
    std::string_view Interface;  // placed between `unit U; interface` and `implementation`
    std::string_view Expected;   // folded identifiers separated by blanks; blanks inside pseudo-identifiers as `~`
                                 // (`HELPER FOR X` also as `HELPER_FOR_X`)
};

void PrintTo(const ScanCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

std::vector<std::string> Sorted(const TIdentifierSet& AIdentifiers) {
    std::vector<std::string> result;
    for (const std::u16string& identifier : AIdentifiers) result.push_back(Show(identifier));
    std::sort(result.begin(), result.end());
    return result;
}

std::vector<std::string> Expected(std::string_view AList) {
    std::vector<std::string> result;
    std::string word;
    for (char c : std::string(AList) + " ") {
        if (c != ' ') {
            word += (c == '_' && word.starts_with("HELPER")) || c == '~' ? ' ' : c;
        } else if (!word.empty()) {
            result.push_back(word);
            word.clear();
        }
    }
    std::sort(result.begin(), result.end());
    return result;
}

// Include files the cases name.
std::optional<std::u16string> ReadInclude(std::u16string_view AName) {
    static const std::map<std::u16string, std::string_view> kFiles = {
        {u"types.inc", "type TInc = Integer; {$I nested.inc}"},
        {u"nested.inc", "const NestedC = 1;"},
        {u"more decls.inc", "var MoreV: Integer;"},
        {u"self.inc", "const SelfC = 1; {$I self.inc}"},
        {u"bomb.inc", "const BombC = 1; {$I bomb.inc} {$I bomb.inc}"},
        {u"stop.inc", "const BeforeStop = 1; implementation const AfterStop = 1;"},
    };
    const auto found = kFiles.find(std::u16string(AName));
    if (found == kFiles.end()) return std::nullopt;
    return Utf16(found->second);
}

class InterfaceIdentifiersTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(InterfaceIdentifiersTest, DeclaresTopLevelNames) {
    const ScanCase& c = GetParam();
    const std::u16string source = Utf16("unit U;\ninterface\n" + std::string(c.Interface) +
                                        "\nimplementation\nconst Hidden = 1;\nprocedure Impl;\nbegin\nend;\nend.\n");
    SCOPED_TRACE("source: " + Show(source));
    EXPECT_EQ(Expected(c.Expected), Sorted(F_InterfaceIdentifiers(source, ReadInclude)));
}

constexpr ScanCase kDeclarations[] = {
    {"EverySectionKind",
     "uses Classes;\nconst C = 1;\ntype T = Integer;\nvar V: Integer;\nthreadvar TV: Integer;\n"
     "resourcestring RS = 'x';\nprocedure P;\nfunction F(const A: Integer; var B: string): Integer;",
     "C T V TV RS P F USES~Classes"},
    {"SeveralNamesAndInlineTypes", "var A, B, C: Integer; R: record X, Y: Integer; end; D: (dA, dB); E: Integer = 5;",
     "A B C R D DA DB E"},
    {"EnumMembers", "type TColor = (clRed, clGreen = 5, clBlue); TSet = set of (sA, sB);",
     "TCOLOR CLRED CLGREEN CLBLUE TSET SA SB"},
    {"ScopedEnumsHideMembers", "{$SCOPEDENUMS ON} type TE = (eA, eB); {$ScopedEnums Off} type TF = (fA);",
     "TE TF FA"},
    {"ClassMembersExcluded",
     "type TFoo = class(TObject) private FX: Integer; procedure M; public property P: Integer read FX; "
     "class function Make: TFoo; class var Count: Integer; end;\n"
     "TBar = class; TRef = class of TFoo; TErr = class(Exception); TSealed = class sealed end; var After: Integer;",
     "TFOO TBAR TREF TERR TSEALED AFTER"},
    {"NestedTypesExcluded",
     "type TOuter = class type TInner = class(TBase) X: Integer; end; TFwd = class; IIn = interface end; "
     "procedure M; end;\nTVars = class var FX: Integer; class var FY: Integer; end;\nconst AfterOuter = 1;",
     "TOUTER TVARS AFTEROUTER"},
    {"VariantRecord",
     "type TR = packed record case Tag: Integer of 0: (A: Integer); 1: (B: record X: Integer; end); end;\nconst K = 1;",
     "TR K"},
    {"Generics",
     "type TList<T: class, constructor> = class Items: T; end; TPair<K, V> = record Key: K; end;\n"
     "generic TG<T> = class end; TOfInteger = specialize TG<Integer>; function Make<T>(A: T): T;",
     "TLIST TPAIR TG TOFINTEGER MAKE"},
    {"TypedConstants",
     "const Arr: array[0..1] of Integer = (1, 2); Rec: TPoint = (X: 1; Y: 2); Nested: TRec = (A: (1, 2); B: 'x;y');",
     "ARR REC NESTED"},
    {"Interfaces",
     "type IFoo = interface; IFoo = interface(IInterface) ['{00000000-0000-0000-0000-000000000000}'] "
     "procedure M; end; IDisp = dispinterface ['{1}'] property Q: Integer dispid 1; end; var Q2: Integer;",
     "IFOO IDISP Q2"},
    {"HelpersAndAttributes",
     "type [MyAttr('x')] TH = class helper for Classes.TStrings procedure M; end;\n"
     "TSH = record helper for string function Up: string; end; THH = class helper (TH) for TList end;",
     "TH TSH THH HELPER_FOR_TSTRINGS HELPER_FOR_ANSISTRING HELPER_FOR_SHORTSTRING HELPER_FOR_UNICODESTRING "
     "HELPER_FOR_TLIST"},
    // Helpers for one type whatever its spelling: the types a predefined name
    // may be, an alias as its type, a type of its own (`type Integer`) as itself.
    {"HelperTargetsByType",
     "type TText = string; TH1 = type helper for TText end; TH2 = record helper for LongInt end;\n"
     "TH3 = type helper for Integer end; TOwn = type Integer; TH4 = type helper for TOwn end;",
     "TTEXT TH1 TH2 TH3 TOWN TH4 HELPER_FOR_ANSISTRING HELPER_FOR_SHORTSTRING HELPER_FOR_UNICODESTRING "
     "HELPER_FOR_LONGINT HELPER_FOR_SMALLINT HELPER_FOR_TOWN"},
    {"ProceduralTypesAndDirectives",
     "type TProc = procedure(A: Integer; B: string) of object; TFunc = reference to function: Integer; "
     "TObj = object X: Integer; procedure M; end;\n"
     "function Ext(A: PChar): Integer; stdcall; external 'lib.dll' name 'Ext'; procedure Over(A: Integer); overload;\n"
     "var Handler: TProc; cvar; external;",
     "TPROC TFUNC TOBJ EXT OVER HANDLER OVERLOAD~OVER SIGNATURE~OVER~:!SMALLINT/LONGINT;"},
    {"OverloadSignatures",
     "procedure Show(A, B: LongInt; const S: string = ''); inline; overload; procedure Plain(X: TFoo);",
     "SHOW PLAIN OVERLOAD~SHOW SIGNATURE~SHOW~:!LONGINT;:!LONGINT;CONST:!ANSISTRING/SHORTSTRING/UNICODESTRING=;"},
    {"GlobalOperators",
     "operator + (const A, B: TPt): TPt; operator := (N: Integer): TPt; operator and (A, B: TPt) R: Boolean;",
     "OPERATOR~+ OPERATOR~:= OPERATOR~AND"},
    {"AnonymousEnumsInFieldsAndIndexes",
     "type TR = record Mode: (mFast, mSlow); case Kind: (kA, kB) of kA: (X: Integer); end;\n"
     "TC = class FState: (sOn, sOff); end; var Tab: array[(lo1, hi1), 0..1] of Integer;",
     "TR MFAST MSLOW KA KB TC SON SOFF TAB LO1 HI1"},
    {"ScopedEnumsPushPop", "{$PUSH}{$SCOPEDENUMS ON} type TA = (aA); {$POP} type TB = (bB);", "TA TB BB"},
    {"ScopedEnumsOnInABranchMayBeSkipped",
     "{$IFDEF X}{$SCOPEDENUMS ON}{$ENDIF} type TA = (aA); {$SCOPEDENUMS ON} {$IFDEF X}{$SCOPEDENUMS OFF}{$ENDIF} "
     "type TB = (bB);",
     "TA AA TB BB"},
    {"ClassHeaderPerBranch",
     "type {$IFDEF X} TT = class(TA) {$ELSE} TT = class(TB) {$ENDIF} F: Integer; end; procedure After;", "TT AFTER"},
    {"RecordHeaderPerBranch",
     "type {$IFDEF X} TR = record {$ELSE} TR = packed record {$ENDIF} F: Integer; end; const AfterR = 1;",
     "TR AFTERR"},
    {"DeclaredThroughAMacro",
     "{$macro on}{$define TNameMacro := TProcess} type TNameMacro = class end; {$DEFINE Size:=4*8} const Other = 1;",
     "TNAMEMACRO TPROCESS OTHER"},
    {"StructureKeywordPerBranch",
     "type TR = packed {$IFDEF O} object {$ELSE} record {$ENDIF} F: Integer; end; const AfterR = 1;", "TR AFTERR"},
    // An include file shared by both sections gives its bodies in a branch for the implementation.
    {"RoutineBodyInABranchIsPassedOver",
     "{$IFDEF IMPL} procedure Early; begin try case X of 1: Y; end; finally end; end; {$ENDIF}\n"
     "function DeleteFile(P: PChar): Boolean;",
     "EARLY DELETEFILE"},
    {"MethodBodyInABranchInsideAClassIsPassedOver",
     "type TA = class(TT) public class procedure Fail; {$IFDEF RI} class procedure Check; {$ENDIF} {$IFDEF IMPL} "
     "class procedure TA.Check(P: Boolean); begin AssertTrue(P); end; class procedure TA.Two; begin X; end; {$ENDIF} "
     "end; TB = class(TA) published procedure P; end; const AfterClasses = 1;",
     "TA TB AFTERCLASSES"},
    {"ApostropheInASkippedBranchEndsAtTheLine", "{$IFDEF NEVER} it's {$ENDIF}\nconst AfterQuote = 1;",
     "AFTERQUOTE"},
    // Free Pascal nests comments, Delphi does not: both readings count.
    {"NestedCommentsReadBothWays", "{ was { x } (* } const Seen = 1; (* c *)\n{ a { b } const DelphiOnly = 1; }",
     "SEEN DELPHIONLY"},
    {"HintsAndDistinctTypes", "type TD = type string; TOld = class end deprecated 'no'; var W: Integer platform;",
     "TD TOLD W"},
    {"EveryConditionalBranchCounts", "{$IFDEF WIN} procedure WinOnly; {$ELSE} procedure PosixOnly; {$ENDIF}",
     "WINONLY POSIXONLY"},
    {"EscapedNamesAndGlobalProperty", "type &Type = Integer; var &Begin: Integer; property GP: Integer read GetGP;",
     "TYPE BEGIN GP"},
    {"NonAsciiNamesKeepTheirCase", "const \xC3\xA9t\xC3\xA9 = 1;", "\\u00E9T\\u00E9"},
    {"Includes", "{$I types.inc} (*$INCLUDE 'more decls.inc'*) {$I %DATE%} {$I+} {$I missing.inc} const Last = 1;",
     "TINC NESTEDC MOREV LAST"},
    {"IncludeCycleEnds", "{$I self.inc} {$INCLUDE bomb.inc} const AfterCycle = 1;", "SELFC BOMBC AFTERCYCLE"},
    {"ImplementationInIncludeEndsTheInterface", "{$I stop.inc} const NotSeen = 1;", "BEFORESTOP"},
    {"CommentsAndStringsHideNothingElse", "const S = 'type X = 1;'; { var Y: Integer; } // const Z = 1;\nvar V: Integer;",
     "S V"},
};
INSTANTIATE_TEST_SUITE_P(Declarations, InterfaceIdentifiersTest, ::testing::ValuesIn(kDeclarations),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Facts of the whole unit, not only its interface: the header's switches, the
// units each unit brings in, and whether it runs code as the program starts
// or ends.
struct UnitCase {
    const char* Name;
    std::string_view Source;
    std::string_view Expected;
};

void PrintTo(const UnitCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class UnitFactsTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitFactsTest, ReadsTheWholeUnit) {
    const UnitCase& c = GetParam();
    EXPECT_EQ(Expected(c.Expected), Sorted(F_InterfaceIdentifiers(Utf16(c.Source), ReadInclude)));
}

constexpr UnitCase kUnits[] = {
    {"ScopedEnumsInTheHeader", "{$SCOPEDENUMS ON}\nunit U;\ninterface\ntype TE = (eA);\nimplementation\nend.", "TE"},
    {"BothClausesAndInitialization",
     "unit U; interface uses A; implementation uses B.C in 'c.pas', D; initialization X := 1; end.",
     "USES~A USES~B.C USES~D INIT~CODE"},
    {"EmptySections", "unit U; interface implementation initialization ; finalization end.", ""},
    {"FinalizationOnly", "unit U; interface implementation initialization finalization Free; end.", "INIT~CODE"},
    {"OldStyleBlock", "unit U; interface implementation procedure P; begin end; begin P; end.", "INIT~CODE"},
    {"RoutinesOnly", "unit U; interface implementation procedure P; begin end; end.", ""},
    {"EmptyOldStyleBlock", "unit U; interface implementation uses A; begin end.", "USES~A"},
    {"ClauseOnly", "unit U; interface implementation uses A;\nend.", "USES~A"},
};
INSTANTIATE_TEST_SUITE_P(Units, UnitFactsTest, ::testing::ValuesIn(kUnits),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST(InterfaceIdentifiersEdges, TextsWithoutAnInterfaceDeclareNothing) {
    for (const char* text : {"", "program P; const C = 1; begin end.", "unit U; { interface } const C = 1;"}) {
        EXPECT_TRUE(F_InterfaceIdentifiers(Utf16(text), {}).empty()) << text;
    }
}

TEST(InterfaceIdentifiersEdges, UnfinishedTextsKeepWhatWasRead) {
    EXPECT_EQ(Expected("T V"), Sorted(F_InterfaceIdentifiers(u"unit U; interface var V: Integer; type T = class X", {})));
    EXPECT_EQ(Expected("C T"), Sorted(F_InterfaceIdentifiers(u"unit U; interface const C = 1; type T = (a", {})));
}

// A unit whose whole text stands in an include file, as Free Pascal's rtlconsts.pp does.
TEST(InterfaceIdentifiersEdges, UnitInAnIncludeFile) {
    const TIncludeReader reader = [](std::u16string_view AName) -> std::optional<std::u16string> {
        if (AName != u"whole.inc") return std::nullopt;
        return u"unit W; interface resourcestring SRangeError = 'x'; implementation const Hidden = 1; end.";
    };
    EXPECT_EQ(Expected("SRANGEERROR"), Sorted(F_InterfaceIdentifiers(u"{$I whole.inc}", reader)));
    EXPECT_EQ(Expected(""), Sorted(F_InterfaceIdentifiers(u"{$I other.inc} const NotAUnit = 1;", reader)));
}

TEST(InterfaceIdentifiersEdges, ThrowingReaderFindsNothing) {
    const TIncludeReader throwing = [](std::u16string_view) -> std::optional<std::u16string> { throw 42; };
    EXPECT_EQ(Expected("A"), Sorted(F_InterfaceIdentifiers(u"unit U; interface {$I x.inc} const A = 1;", throwing)));
}

// Soup of the tokens that steer the scanner: it must end and never throw.
TEST(InterfaceIdentifiersEdges, TokenSoupEnds) {
    constexpr std::u16string_view kPieces[] = {
        u"interface", u"implementation", u"type", u"var", u"const", u"class", u"record", u"end", u"of",
        u"helper", u"for", u"case", u"procedure", u"(", u")", u"[", u"]", u"<", u">", u"=", u":", u";",
        u",", u".", u"{$I x}", u"{$SCOPEDENUMS ON}", u"'", u"{", u"}", u"X", u"&", u" "};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    const TIncludeReader reader = [](std::u16string_view) { return std::optional<std::u16string>(u"type Y = (a, b); {$I x}"); };
    for (int i = 0; i < 5000; ++i) {
        std::u16string text = u"interface ";
        for (int n = 0; n < 60; ++n) text += kPieces[piece(random)];
        EXPECT_NO_THROW(F_InterfaceIdentifiers(text, reader)) << Show(text);
    }
}

}  // namespace
}  // namespace quorvel::test
