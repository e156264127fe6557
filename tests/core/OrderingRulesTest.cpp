// The rules that keep a sorted clause meaning what it meant: units that must
// come first, the keep-order marker, and an order in which every identifier
// the file uses still comes from the same unit. Each case formats a text with
// the notes it must send, then formats the result again.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "FakeUnitCatalog.h"
#include "FormatTestSupport.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

struct RulesCase {
    const char* Name;
    std::string_view Units;     // the catalog, as FakeUnitCatalog reads it; empty: no catalog
    std::string_view Input;
    std::string_view Expected;  // empty: the input comes back unchanged
    std::vector<std::string_view> Notes = {};  // the notes of the first formatting, in order
};

void PrintTo(const RulesCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

std::vector<std::string> ShowAll(const std::vector<std::u16string>& ATexts) {
    std::vector<std::string> shown;
    for (const std::u16string& text : ATexts) shown.push_back(Show(text));
    return shown;
}

// Formats with the given rules and checks text, stability and the notes of the first run.
void VerifyRules(TQuorvel& AFormatter, const RulesCase& ACase) {
    std::vector<std::u16string> notes;
    AFormatter.SetOnClauseNote([&](const TClauseNote& ANoteSeen) { const std::u16string AMsg = F_ClauseNoteLine(ANoteSeen); notes.push_back(AMsg); });
    const std::u16string input = WithBreaks(ACase.Input, u"\r\n");
    const std::u16string expected = ACase.Expected.empty() ? input : WithBreaks(ACase.Expected, u"\r\n");
    SCOPED_TRACE("input: " + Show(input));
    EXPECT_EQ(Show(expected), Show(AFormatter.F_FormatSource(input)));
    AFormatter.SetOnClauseNote({});
    std::vector<std::u16string> expectedNotes;
    for (std::string_view note : ACase.Notes) expectedNotes.push_back(Utf16(note));
    EXPECT_EQ(ShowAll(expectedNotes), ShowAll(notes));
    const std::u16string again = AFormatter.F_FormatSource(expected);
    EXPECT_EQ(Show(expected), Show(again)) << "formatting the result again changed it";
}

class OrderingRulesTest : public ::testing::TestWithParam<RulesCase> {};

TEST_P(OrderingRulesTest, KeepsMeaning) {
    const RulesCase& c = GetParam();
    const FakeUnitCatalog catalog(Utf16(c.Units));
    TQuorvel formatter;
    if (!c.Units.empty()) formatter.SetUnitCatalog(&catalog);
    VerifyRules(formatter, c);
}

constexpr std::string_view kDeleteFile = "SysUtils=DeleteFile FindClose Format|Windows=DeleteFile FindClose MessageBox";

const RulesCase kKeepFirst[] = {
    {"MemoryManagersFirstInWrittenOrder", "", "uses Classes, ShareMem, SysUtils, FastMM4;",
     "uses\n   ShareMem,\n   FastMM4,\n   Classes,\n   SysUtils;\n"},
    {"TracerWithCompanions", "", "uses Forms, madListModules, Classes, madExcept;",
     "uses\n   madListModules,\n   madExcept,\n   Classes,\n   Forms;\n"},
    {"FreePascalManagers", "", "uses Classes, cwstring, lnfodwrf, cthreads, fpwidestring, cmem;",
     "uses\n   cwstring,\n   lnfodwrf,\n   cthreads,\n   fpwidestring,\n   cmem,\n   Classes;\n"},
    {"AnyLetterCaseAndPaths", "", "uses Main in 'Main.pas', fastmm4 in '..\\FastMM4.pas';",
     "uses\n   fastmm4 in '..\\FastMM4.pas',\n   Main in 'Main.pas';\n"},
    {"NotAPrefixMatch", "", "uses FastMM4Options, Alpha;", "uses\n   Alpha,\n   FastMM4Options;\n"},
    {"NamesEqualButForCaseKeepTheirOrder", "", "uses sys, b, FastMM4, SYS, a, Sys;",
     "uses\n   FastMM4,\n   a,\n   b,\n   sys,\n   SYS,\n   Sys;\n"},
};
INSTANTIATE_TEST_SUITE_P(KeepFirst, OrderingRulesTest, ::testing::ValuesIn(kKeepFirst),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

const RulesCase kMarker[] = {
    {"BraceComment", "", "uses B, A {quorvel: keep order};", "", {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"ParenCommentAnyCaseAndBlanks", "", "uses B, (*  QUORVEL :  Keep   Order *) A;", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"LineCommentOnItsOwnLine", "", "uses\n  // quorvel: keep order\n  B,\n  A;", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"AfterTheSemicolonOnItsLine", "", "uses B, A; // quorvel: keep order\nbegin end.", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"OnTheNextLineIsNoMarker", "", "uses B, A;\n// quorvel: keep order", "uses\n   A,\n   B;\n// quorvel: keep order"},
    {"BetweenCommasWhereNoElementIs", "", "uses B, {quorvel: keep order} , A;", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"InsideADottedName", "", "uses System.{quorvel: keep order}Classes, A;", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"WinsOverDirectives", "", "uses B, {$IFDEF X} C, {$ENDIF} A // quorvel: keep order\n;", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"WinsOverKeepFirst", "", "uses Classes, FastMM4 { quorvel: keep order };", "",
     {"  [SKIP] uses \u2014 marked to keep its order"}},
    {"EachSectionOnItsOwn", "",
     "unit U;\ninterface\nuses B, A;\nimplementation\nuses D, {quorvel:keep order} C;\nend.\n",
     "unit U;\ninterface\nuses\n   A,\n   B;\nimplementation\nuses D, {quorvel:keep order} C;\nend.\n",
     {"  [SKIP] implementation uses \u2014 marked to keep its order"}},
    {"InterfaceClause", "", "unit U;\ninterface\nuses B, {quorvel: keep order} A;\nimplementation\nend.\n", "",
     {"  [SKIP] interface uses \u2014 marked to keep its order"}},
    {"OtherCommentsAreNoMarker", "", "uses B {quorvel: keep orders}, A {keep order} {$X quorvel: keep order};", "",
     {"  [SKIP] uses \u2014 contains compiler directives"}},
    {"PathIsNoMarker", "", "uses B in 'quorvel: keep order', A;", "uses\n   A,\n   B in 'quorvel: keep order';\n"},
};
INSTANTIATE_TEST_SUITE_P(Marker, OrderingRulesTest, ::testing::ValuesIn(kMarker),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

const RulesCase kNames[] = {
    {"SharedNameUsedKeepsItsUnitLast", kDeleteFile,
     "program P;\nuses Windows, SysUtils;\nbegin\n  DeleteFile('x');\nend.\n",
     "program P;\nuses\n   Windows,\n   SysUtils;\nbegin\n  DeleteFile('x');\nend.\n",
     {"  [KEEP] uses \u2014 Windows stays before SysUtils (DeleteFile)"}},
    {"SharedNameUnusedSortsPlainly", kDeleteFile,
     "program P;\nuses Windows, SysUtils;\nbegin\n  MessageBox(0, Format('x', []), nil, 0); // DeleteFile\nend.\n",
     "program P;\nuses\n   SysUtils,\n   Windows;\nbegin\n  MessageBox(0, Format('x', []), nil, 0); // DeleteFile\nend.\n"},
    {"OrderAlreadyRightNeedsNoNote", kDeleteFile, "program P;\nuses SysUtils, Windows;\nbegin\n  FindClose(H);\nend.\n",
     "program P;\nuses\n   SysUtils,\n   Windows;\nbegin\n  FindClose(H);\nend.\n"},
    {"SeveralNamesOneNoteSpelledAsInTheFile", kDeleteFile,
     "uses Windows, Classes, SysUtils;\nbegin findclose(h); DELETEFILE('x'); end.\n",
     "uses\n   Classes,\n   Windows,\n   SysUtils;\nbegin findclose(h); DELETEFILE('x'); end.\n",
     {"  [KEEP] uses \u2014 Windows stays before SysUtils (DELETEFILE, findclose)"}},
    {"ThreeUnitsDeclaringOneName", "C=X|A=X|B=X", "uses C, B, A;\nbegin X; end.\n",
     "uses\n   B,\n   C,\n   A;\nbegin X; end.\n",
     {"  [KEEP] uses \u2014 C stays before A (X)", "  [KEEP] uses \u2014 B stays before A (X)"}},
    {"TwoNamesPullingApart", "Zed=X|Alpha=X|Delta=Y|Beta=Y", "uses Zed, Alpha, Delta, Beta;\nbegin X; Y; end.\n",
     "uses\n   Delta,\n   Beta,\n   Zed,\n   Alpha;\nbegin X; Y; end.\n",
     {"  [KEEP] uses \u2014 Zed stays before Alpha (X)", "  [KEEP] uses \u2014 Delta stays before Beta (Y)"}},
    {"AtMostThreeNamesPerNote", "B=W X Y Z|A=W X Y Z", "uses B, A;\nbegin W; X; Y; Z; end.\n",
     "uses\n   B,\n   A;\nbegin W; X; Y; Z; end.\n", {"  [KEEP] uses \u2014 B stays before A (W, X, Y, \u2026)"}},
    {"UnitWithoutSourceDeclaresNothing", "SysUtils=DeleteFile", "uses Windows, SysUtils;\nbegin DeleteFile('x'); end.\n",
     "uses\n   SysUtils,\n   Windows;\nbegin DeleteFile('x'); end.\n"},
    {"ScopeNamesFindTheUnits", "System.SysUtils=DeleteFile|Winapi.Windows=DeleteFile",
     "uses Windows, SysUtils;\nbegin DeleteFile('x'); end.\n", "uses\n   Windows,\n   SysUtils;\nbegin DeleteFile('x'); end.\n",
     {"  [KEEP] uses \u2014 Windows stays before SysUtils (DeleteFile)"}},
    {"HelpersForOneTypeKeepTheirOrder", "ZHelpers=ZH HELPER_FOR_TSTRINGS|AHelpers=AH HELPER_FOR_TSTRINGS",
     "uses ZHelpers, AHelpers;\nbegin L.Text; end.\n", "uses\n   ZHelpers,\n   AHelpers;\nbegin L.Text; end.\n",
     {"  [KEEP] uses \u2014 ZHelpers stays before AHelpers (helper for TSTRINGS)"}},
    {"KeepFirstUnitThatMustFollowKeepsWrittenOrder", "Zed=GetMem|FastMM4=GetMem", "uses Zed, Alpha, FastMM4;\nbegin GetMem(P, 1); end.\n",
     "uses\n   Zed,\n   Alpha,\n   FastMM4;\nbegin GetMem(P, 1); end.\n",
     {"  [KEEP] uses \u2014 order kept as written: Zed must stay before FastMM4 (GetMem)"}},
    {"KeepFirstBeforeConstrainedUnits", "Zed=X|Alpha=X", "uses Zed, Alpha, madExcept;\nbegin X; end.\n",
     "uses\n   madExcept,\n   Zed,\n   Alpha;\nbegin X; end.\n", {"  [KEEP] uses \u2014 Zed stays before Alpha (X)"}},
    {"IncludedCodeMayUseAnySharedName", "SysUtils=RightStr|StrUtils=RightStr",
     "unit U;\ninterface\nuses SysUtils, StrUtils;\nimplementation\n{$I code.inc}\nend.\n",
     "unit U;\ninterface\nuses\n   SysUtils,\n   StrUtils;\nimplementation\n{$I code.inc}\nend.\n",
     {"  [KEEP] interface uses \u2014 SysUtils stays before StrUtils (RIGHTSTR)"}},
    {"SwitchesAndMacrosIncludeNoCode", "SysUtils=RightStr|StrUtils=RightStr",
     "uses SysUtils, StrUtils;\n{$I+} {$I %DATE%} (*$I-*)\nbegin end.\n",
     "uses\n   StrUtils,\n   SysUtils;\n{$I+} {$I %DATE%} (*$I-*)\nbegin end.\n"},
    {"EachSectionGetsItsNotes", kDeleteFile,
     "unit U;\ninterface\nuses Windows, SysUtils;\nimplementation\nuses Windows, SysUtils;\nbegin DeleteFile('x'); end.\n",
     "unit U;\ninterface\nuses\n   Windows,\n   SysUtils;\nimplementation\nuses\n   Windows,\n   SysUtils;\nbegin DeleteFile('x'); end.\n",
     {"  [KEEP] interface uses \u2014 Windows stays before SysUtils (DeleteFile)",
      "  [KEEP] implementation uses \u2014 Windows stays before SysUtils (DeleteFile)"}},
    // Where a shared name counts as used, and where its units' order does not matter.
    {"QualifiedOrMemberUsesSortPlainly", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\nbegin Zeta.Describe; Item . Describe; end.\n",
     "program P;\nuses\n   Alpha,\n   Zeta;\nbegin Zeta.Describe; Item . Describe; end.\n"},
    {"RangeAfterTwoDotsIsAUse", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\nvar R: 0..Describe;\nbegin end.\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\nvar R: 0..Describe;\nbegin end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"NameInAnIfDirectiveIsAUse", "Zeta=Level|Alpha=Level",
     "program P;\nuses Zeta, Alpha;\nbegin {$IF Level > 1} {$ENDIF} end.\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\nbegin {$IF Level > 1} {$ENDIF} end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Level)"}},
    {"OwnDeclarationBeforeUseWins", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\nfunction Describe: string; begin end;\nbegin Describe; end.\n",
     "program P;\nuses\n   Alpha,\n   Zeta;\nfunction Describe: string; begin end;\nbegin Describe; end.\n"},
    {"UseBeforeOwnDeclarationKeeps", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\nconst K = Describe;\nfunction Describe: string; begin end;\nbegin end.\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\nconst K = Describe;\nfunction Describe: string; begin end;\nbegin end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"LocalDeclarationIsNoOwnOne", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\nprocedure Q; var Describe: Integer; begin end;\nbegin Describe; end.\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\nprocedure Q; var Describe: Integer; begin end;\nbegin Describe; end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"ProgramInterfaceTypeIsNoInterfaceSection", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\ntype I = interface end;\nprocedure Q; var Describe: Integer; begin end;\n"
     "begin Describe; end.\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\ntype I = interface end;\nprocedure Q; var Describe: Integer; begin end;\n"
     "begin Describe; end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"UseSeenOnlyWithNestedCommentsCounts", "Zeta=Describe|Alpha=Describe",
     "program P;\nuses Zeta, Alpha;\n{ a { b } (* }\nbegin Describe; end. (* c *)\n",
     "program P;\nuses\n   Zeta,\n   Alpha;\n{ a { b } (* }\nbegin Describe; end. (* c *)\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"OperatorsCountUnnamed", "Zeta=OPERATOR~+|Alpha=OPERATOR~+", "uses Zeta, Alpha;\nbegin end.\n",
     "uses\n   Zeta,\n   Alpha;\nbegin end.\n", {"  [KEEP] uses \u2014 Zeta stays before Alpha (OPERATOR +)"}},
    // A routine without `overload` ends the search: every declarer keeps its place.
    {"OverloadsKeepTheWholeChain",
     "Beta=Show|Alpha=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!LONGINT;|Zeta=Show OVERLOAD~SHOW SIGNATURE~SHOW~:TFOO;",
     "uses Beta, Alpha, Zeta;\nbegin Show(1); end.\n", "uses\n   Beta,\n   Alpha,\n   Zeta;\nbegin Show(1); end.\n",
     {"  [KEEP] uses \u2014 Beta stays before Alpha (Show)"}},
    {"OverloadsToldApartSortPlainly",
     "Zeta=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!ANSISTRING/SHORTSTRING;|Alpha=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!LONGINT; "
     "SIGNATURE~SHOW~:!LONGINT;:!LONGINT;",
     "uses Zeta, Alpha;\nbegin Show(1); end.\n", "uses\n   Alpha,\n   Zeta;\nbegin Show(1); end.\n"},
    {"OverloadsWithTypesOfOneKindKeep",
     "Zeta=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!BYTE;|Alpha=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!WORD;",
     "uses Zeta, Alpha;\nbegin Show(1); end.\n", "uses\n   Zeta,\n   Alpha;\nbegin Show(1); end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Alpha (Show)"}},
    {"OverloadsWithDefaultsOrOtherTypesKeep",
     "Zeta=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!LONGINT;:!LONGINT=;|Alpha=Show OVERLOAD~SHOW SIGNATURE~SHOW~:!LONGINT;"
     "|Beta=Show OVERLOAD~SHOW SIGNATURE~SHOW~:TFOO;",
     "uses Zeta, Beta, Alpha;\nbegin Show(1); end.\n", "uses\n   Zeta,\n   Beta,\n   Alpha;\nbegin Show(1); end.\n",
     {"  [KEEP] uses \u2014 Zeta stays before Beta (Show)", "  [KEEP] uses \u2014 Beta stays before Alpha (Show)"}},
};
INSTANTIATE_TEST_SUITE_P(Names, OrderingRulesTest, ::testing::ValuesIn(kNames),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// A file's own declarations are read only as far as its first routine, a
// piece at a time: a declaration part far longer than one piece, and a unit
// whose two clauses both ask.
std::string ManyConstants() {
    std::string text = "const\n";
    for (int i = 0; i < 600; ++i) text += "  C" + std::to_string(i) + " = (" + std::to_string(i) + ");\n";
    return text;
}
const std::string kLongPart = ManyConstants();
const std::string kOwnAfterLongPart = "program P;\nuses Zeta, Alpha;\n" + kLongPart +
                                      "var Describe: string;\nprocedure Q; begin end;\nbegin Describe; end.\n";
const std::string kOwnAfterLongPartSorted = "program P;\nuses\n   Alpha,\n   Zeta;\n" + kLongPart +
                                            "var Describe: string;\nprocedure Q; begin end;\nbegin Describe; end.\n";
const std::string kLocalAfterLongPart = "program P;\nuses Zeta, Alpha;\n" + kLongPart +
                                        "procedure Q; var Describe: Integer; begin end;\nbegin Describe; end.\n";
const std::string kLocalAfterLongPartKept = "program P;\nuses\n   Zeta,\n   Alpha;\n" + kLongPart +
                                            "procedure Q; var Describe: Integer; begin end;\nbegin Describe; end.\n";
const RulesCase kLongNames[] = {
    {"OwnDeclarationAfterALongPartWins", "Zeta=Describe|Alpha=Describe", kOwnAfterLongPart, kOwnAfterLongPartSorted},
    {"LocalDeclarationAfterALongPartIsNoOwnOne", "Zeta=Describe|Alpha=Describe", kLocalAfterLongPart,
     kLocalAfterLongPartKept, {"  [KEEP] uses \u2014 Zeta stays before Alpha (Describe)"}},
    {"OwnDeclarationCountsInBothClauses", "Zeta=Describe|Alpha=Describe|Omega=Describe|Beta=Describe",
     "unit U;\ninterface\nuses Zeta, Alpha;\nfunction Describe: string;\nimplementation\nuses Omega, Beta;\n"
     "function Describe: string; begin end;\nbegin Describe; end.\n",
     "unit U;\ninterface\nuses\n   Alpha,\n   Zeta;\nfunction Describe: string;\nimplementation\nuses\n   Beta,\n   Omega;\n"
     "function Describe: string; begin end;\nbegin Describe; end.\n"},
    // The first clause needs them only as far as `Early`, the second further.
    {"SecondClauseReadsOwnDeclarationsFurther", "Zeta=Early|Alpha=Early|Omega=Late|Beta=Late",
     "unit U;\ninterface\nuses Zeta, Alpha;\nvar Early: Integer;\nimplementation\nuses Omega, Beta;\n"
     "var Late: Integer;\nprocedure Q; begin Early := Late; end;\nend.\n",
     "unit U;\ninterface\nuses\n   Alpha,\n   Zeta;\nvar Early: Integer;\nimplementation\nuses\n   Beta,\n   Omega;\n"
     "var Late: Integer;\nprocedure Q; begin Early := Late; end;\nend.\n"},
};
INSTANTIATE_TEST_SUITE_P(LongTexts, OrderingRulesTest, ::testing::ValuesIn(kLongNames),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Units given by their sources: a name declared in an include file and one in
// a conditional branch count like any other.
TEST(OrderingRulesSources, IncludeFilesAndConditionalBranchesDeclare) {
    FakeUnitCatalog catalog;
    const TIncludeReader reader = [](std::u16string_view AName) -> std::optional<std::u16string> {
        if (AName == u"decl.inc") return u"procedure Bar;";
        return std::nullopt;
    };
    catalog.AddSource(u"Alpha", u"unit Alpha; interface {$IFDEF X} procedure Foo; {$ELSE} procedure Bar; {$ENDIF}\n"
                                u"implementation end.", reader);
    catalog.AddSource(u"Beta", u"unit Beta; interface {$I decl.inc} implementation end.", reader);
    TQuorvel formatter;
    formatter.SetUnitCatalog(&catalog);
    VerifyRules(formatter, {"", "", "uses Beta, Alpha;\nbegin Bar; end.\n", "uses\n   Beta,\n   Alpha;\nbegin Bar; end.\n",
                            {"  [KEEP] uses \u2014 Beta stays before Alpha (Bar)"}});
}

struct OptionsCase {
    const char* Name;
    void (*Apply)(TFormatOptions&);
    RulesCase Case;
};

void PrintTo(const OptionsCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class OrderingOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(OrderingOptionsTest, FollowTheOptions) {
    const FakeUnitCatalog catalog(Utf16(GetParam().Case.Units));
    TQuorvel formatter;
    formatter.SetUnitCatalog(&catalog);
    TFormatOptions options;
    GetParam().Apply(options);
    formatter.SetOptions(options);
    VerifyRules(formatter, GetParam().Case);
}

void PlainOrder(TFormatOptions& AOptions) { AOptions.WithPlainOrder(); }
void KeepInitOrder(TFormatOptions& AOptions) { AOptions.KeepInitOrder = true; }

const OptionsCase kOptions[] = {
    {"PlainOrderSortsEverything", PlainOrder,
     {"", std::string_view(kDeleteFile), "uses Windows, SysUtils, FastMM4;\nbegin DeleteFile('x'); end.\n",
      "uses\n   FastMM4,\n   SysUtils,\n   Windows;\nbegin DeleteFile('x'); end.\n"}},
    {"PlainOrderStillHonoursTheMarker", PlainOrder,
     {"", "", "uses B, A {quorvel: keep order};", "", {"  [SKIP] uses \u2014 marked to keep its order"}}},
    {"UserUnitsJoinTheBuiltInInWrittenOrder",
     [](TFormatOptions& AOptions) { AOptions.KeepFirstUnits = {u"mytracer", u" Early "}; },
     {"", "", "uses Zed, Early, MyTracer, FastMM4;", "uses\n   Early,\n   MyTracer,\n   FastMM4,\n   Zed;\n"}},
    {"UserUnitMatchesWithScope", [](TFormatOptions& AOptions) { AOptions.KeepFirstUnits = {u"MyTracer", u"Vcl.Early"}; },
     {"", "", "uses Zed, Alpha.MyTracer, Early, Vcl.MyTracer;",
      "uses\n   Early,\n   Vcl.MyTracer,\n   Alpha.MyTracer,\n   Zed;\n"}},
    {"NoScopeNamesFindNoUnit", [](TFormatOptions& AOptions) { AOptions.UnitScopeNames = {}; },
     {"", "System.SysUtils=DeleteFile|Winapi.Windows=DeleteFile", "uses Windows, SysUtils;\nbegin DeleteFile('x'); end.\n",
      "uses\n   SysUtils,\n   Windows;\nbegin DeleteFile('x'); end.\n"}},
    // Units that run code as the program starts or ends, on request; keep-first units go first still.
    {"InitOrderOffByDefault", [](TFormatOptions&) {},
     {"", "Zeta=INIT~CODE|Alpha=INIT~CODE", "uses Zeta, Alpha;", "uses\n   Alpha,\n   Zeta;\n"}},
    {"InitOrderKeepsUnitsWithCode", KeepInitOrder,
     {"", "Zeta=INIT~CODE|Alpha=INIT~CODE|Beta=X", "uses Zeta, Beta, Alpha;",
      "uses\n   Beta,\n   Zeta,\n   Alpha;\n",
      {"  [INIT] uses \u2014 Zeta stays before Alpha (initialization: Zeta, Alpha)"}}},
    {"InitOrderThroughBroughtInUnits", KeepInitOrder,
     {"", "Wrapper=USES~Inner|Inner=USES~ZetaReg|ZetaReg=INIT~CODE|AlphaReg=INIT~CODE|Cycle=USES~Cycle",
      "uses Wrapper, Cycle, AlphaReg;", "uses\n   Cycle,\n   Wrapper,\n   AlphaReg;\n",
      {"  [INIT] uses \u2014 Wrapper stays before AlphaReg (initialization: ZetaReg, AlphaReg)"}}},
    {"InitOrderLeavesKeepFirstUnitsFirst", KeepInitOrder,
     {"", "FastMM4=INIT~CODE|Zeta=INIT~CODE|Alpha=INIT~CODE", "uses Zeta, Alpha, FastMM4;",
      "uses\n   FastMM4,\n   Zeta,\n   Alpha;\n",
      {"  [INIT] uses \u2014 Zeta stays before Alpha (initialization: Zeta, Alpha)"}}},
    {"InitOrderWithoutNameRule", [](TFormatOptions& AOptions) { AOptions.KeepInitOrder = true; AOptions.KeepNameResolution = false; },
     {"", "Zeta=X INIT~CODE|Alpha=X INIT~CODE", "uses Zeta, Alpha;\nbegin X; end.\n",
      "uses\n   Zeta,\n   Alpha;\nbegin X; end.\n",
      {"  [INIT] uses \u2014 Zeta stays before Alpha (initialization: Zeta, Alpha)"}}},
};
INSTANTIATE_TEST_SUITE_P(Options, OrderingOptionsTest, ::testing::ValuesIn(kOptions),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

TEST(OrderingDefaults, ListsForTheWindowAndTool) {
    const TQuorvel formatter;
    EXPECT_TRUE(formatter.Options().KeepFirstBuiltIn);
    EXPECT_TRUE(formatter.Options().KeepNameResolution);
    EXPECT_TRUE(formatter.Options().KeepFirstUnits.empty());
    EXPECT_EQ(nullptr, formatter.UnitCatalog());
    EXPECT_EQ(DefaultUnitScopeNames(), formatter.Options().UnitScopeNames);
    for (const TKeepFirstUnit& unit : TQuorvel::BuiltInKeepFirstUnits()) {
        EXPECT_FALSE(unit.Name.empty());
        EXPECT_FALSE(unit.Reason.empty()) << Show(unit.Name);
    }
}

}  // namespace
}  // namespace quorvel::test
