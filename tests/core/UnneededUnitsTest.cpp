// Units a file does not need, and interface units only its implementation
// needs: reported, removed and moved. Each case formats a text under its
// options and catalog, checks the notes of that run, then formats the result
// again, which must find nothing more to change.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "FakeUnitCatalog.h"
#include "FormatTestSupport.h"
#include "NativeUnitsCheck.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

enum Fixes { kReport = 0, kRemove = 1, kMove = 2, kBoth = 3 };

struct UnneededCase {
    const char* Name;
    Fixes Fix;
    std::string_view Units;  // the catalog, as FakeUnitCatalog reads it
    std::string_view Input;
    std::string_view Expected;                 // empty: the input comes back unchanged
    std::vector<std::string_view> Notes = {};  // the notes of the first formatting, in order
    bool KeepInitOrder = false;
};

void PrintTo(const UnneededCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

TFormatOptions OptionsFor(Fixes AFix) {
    TFormatOptions options;
    options.ReportUnneededUnits = true;
    options.RemoveUnneededUnits = (AFix & kRemove) != 0;
    options.MoveToImplementation = (AFix & kMove) != 0;
    return options;
}

class UnneededUnitsTest : public ::testing::TestWithParam<UnneededCase> {};

TEST_P(UnneededUnitsTest, FindsFixesAndStaysStable) {
    const UnneededCase& c = GetParam();
    const FakeUnitCatalog catalog(Utf16(c.Units));
    TFormatOptions options = OptionsFor(c.Fix);
    options.KeepInitOrder = c.KeepInitOrder;
    TQuorvel formatter(options);
    formatter.SetUnitCatalog(&catalog);
    formatter.SetIncludeReader([](std::u16string_view AName) -> std::optional<std::u16string> {
        if (AName == u"uses-alpha.inc") return u"AlphaValue;";
        if (AName == u"empty.inc") return u"";
        if (AName == u"uses-wide.inc") return u"WideValue;";
        return std::nullopt;
    });
    VerifyFormatAndNotes(formatter, c.Input, c.Expected, c.Notes);
}

constexpr std::string_view kUnits = "Alpha=ALPHAVALUE ALPHAONLY|Beta=BETAVALUE|Gamma=GAMMAVALUE INIT~CODE|"
                                    "Helpers=HELPER_FOR_INTEGER|Shadow=ALPHAVALUE|Over=OVERLOAD~ALPHAVALUE ALPHAVALUE|"
                                    "Mover=MOVERVALUE ALPHAVALUE|Wrap=USES~Gamma|Other=OTHERVALUE USES~Gamma|"
                                    "CycleA=USES~CycleB|CycleB=USES~CycleA USES~Gamma|Reacher=REACHERVALUE USES~CycleB|"
                                    "Wide=WIDEVALUE W1 W2 W3 W4 W5 W6 W7 W8 W9 W10 W11 W12";

const UnneededCase kCases[] = {
    {"ReportOnlyNamesAndSorts", kReport, kUnits,
     "program P;\nuses Beta, Gamma, Alpha;\nbegin AlphaValue; end.\n",
     "program P;\nuses\n   Alpha,\n   Beta,\n   Gamma;\nbegin AlphaValue; end.\n",
     {"  [UNUSED] uses \xE2\x80\x94 Beta",
      "  [UNUSED] uses \xE2\x80\x94 Gamma runs code as the program starts or ends: kept"}},
    {"RemovedUnitLeavesItsComments", kRemove, kUnits,
     "program P;\nuses Alpha, { old } Beta, // gone\n  Gamma;\nbegin AlphaValue; end.\n",
     "program P;\nuses\n   { old }\n   // gone\n   Alpha,\n   Gamma;\nbegin AlphaValue; end.\n",
     {"  [UNUSED] uses \xE2\x80\x94 Beta (removed)",
      "  [UNUSED] uses \xE2\x80\x94 Gamma runs code as the program starts or ends: kept"}},
    {"NamesInCommentsAndStringsAreNoUse", kRemove, kUnits,
     "program P;\nuses Alpha, Beta;\nbegin { BetaValue } WriteLn('BetaValue'); AlphaValue; end.\n",
     "program P;\nuses\n   Alpha;\nbegin { BetaValue } WriteLn('BetaValue'); AlphaValue; end.\n",
     {"  [UNUSED] uses \xE2\x80\x94 Beta (removed)"}},
    {"QualifiedByUnitNameIsAUse", kRemove, kUnits,
     "program P;\nuses\n   Beta;\nbegin Beta.Other; end.\n", ""},
    {"MemberOfThatNameIsNoUse", kRemove, kUnits,
     "program P;\nuses Alpha, Beta;\nbegin X.BetaValue; AlphaValue; end.\n",
     "program P;\nuses\n   Alpha;\nbegin X.BetaValue; AlphaValue; end.\n",
     {"  [UNUSED] uses \xE2\x80\x94 Beta (removed)"}},
    {"HelperActsUnnamed", kRemove, kUnits,
     "program P;\nuses\n   Helpers;\nbegin end.\n", ""},
    // A later unit's declaration may sit in a branch the build leaves out.
    {"NameALaterUnitDeclaresStillCounts", kRemove, kUnits,
     "program P;\nuses\n   Alpha,\n   Shadow;\nbegin AlphaValue; end.\n", ""},
    {"IncludeFileUses", kRemove, kUnits,
     "program P;\nuses\n   Alpha;\nbegin {$I uses-alpha.inc} end.\n", ""},
    {"UnreadableIncludeFindsNothing", kRemove, kUnits,
     "program P;\nuses\n   Alpha,\n   Beta;\nbegin {$I missing.inc} end.\n", ""},
    {"UnknownAndProjectMembersNeverFound", kRemove, kUnits,
     "program P;\nuses\n   Beta in 'beta.pas',\n   Unknown;\nbegin end.\n", ""},
    {"LastUnitGoneWithItsClause", kRemove, kUnits,
     "unit U;\n\ninterface\n\nuses\n  Beta;\n\nconst X = 1;\n\nimplementation\n\nend.\n",
     "unit U;\n\ninterface\n\nconst X = 1;\n\nimplementation\n\nend.\n",
     {"  [UNUSED] interface uses \xE2\x80\x94 Beta (removed)"}},
    {"MovedIntoANewImplementationClause", kMove, kUnits,
     "unit U;\ninterface\nuses Alpha, Beta;\nconst X = BetaValue;\nimplementation\n\nprocedure P; begin AlphaValue; end;\nend.\n",
     "unit U;\ninterface\nuses\n   Beta;\nconst X = BetaValue;\nimplementation\n\nuses\n   Alpha;\n\nprocedure P; begin AlphaValue; end;\nend.\n",
     {"  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation (moved)"}},
    {"MovedIntoTheImplementationClause", kBoth, kUnits,
     "unit U;\ninterface\nuses Gamma, Alpha;\nimplementation\nuses Beta;\nbegin AlphaValue; BetaValue; GammaValue; end.\n",
     "unit U;\ninterface\nuses\n   Gamma;\nimplementation\nuses\n   Alpha,\n   Beta;\nbegin AlphaValue; BetaValue; GammaValue; end.\n",
     {"  [MOVE] interface uses \xE2\x80\x94 Gamma is used only in the implementation; it stays, as it runs code as "
      "the program starts or ends",
      "  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation (moved)"}, true},
    {"StartCodeMovesUnlessItsOrderIsKept", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Gamma;\nimplementation\nbegin GammaValue; end.\n",
     "unit U;\ninterface\nimplementation\n\nuses\n   Gamma;\n\nbegin GammaValue; end.\n",
     {"  [MOVE] interface uses \xE2\x80\x94 Gamma is used only in the implementation (moved)"}},
    {"StartCodeOthersBringInIsNoReason", kRemove, kUnits,
     "program P;\nuses\n   Other,\n   Wrap;\nbegin OtherValue; end.\n",
     "program P;\nuses\n   Other;\nbegin OtherValue; end.\n",
     {"  [UNUSED] uses \xE2\x80\x94 Wrap (removed)"}},
    {"StartCodeOthersBringInKeptWithItsOrder", kRemove, kUnits,
     "program P;\nuses\n   Other,\n   Wrap;\nbegin OtherValue; end.\n", "",
     {"  [UNUSED] uses \xE2\x80\x94 Wrap brings in Gamma, which runs code as the program starts or ends: kept"}, true},
    // The include file counts for both sections, though the text itself uses
    // the name only in the implementation (and the unit declares more names
    // than the file uses, so that the file's names are walked).
    {"IncludeFileUseKeepsTheUnitInTheInterface", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Wide;\n{$I uses-wide.inc}\nimplementation\nbegin WideValue; end.\n", ""},
    // Units that bring each other in bring in the same start code, whichever is asked first.
    {"StartCodeThroughUnitsThatUseEachOther", kRemove, kUnits,
     "program P;\nuses\n   Alpha,\n   CycleA;\nbegin AlphaValue; end.\n", "",
     {"  [UNUSED] uses \xE2\x80\x94 CycleA brings in Gamma, which runs code as the program starts or ends: kept"}},
    {"StartCodeANeededUnitBringsInThroughACycle", kRemove, kUnits,
     "program P;\nuses\n   CycleA,\n   Reacher;\nbegin ReacherValue; end.\n",
     "program P;\nuses\n   Reacher;\nbegin ReacherValue; end.\n", {"  [UNUSED] uses \xE2\x80\x94 CycleA (removed)"}},
    // Gamma's start code comes with Wrap, which stays; with the order kept it stays all the same.
    {"StartOrderKeepsEachUnitWithStartCode", kRemove, kUnits,
     "program P;\nuses\n   Wrap,\n   Gamma;\nbegin end.\n", "",
     {"  [UNUSED] uses \xE2\x80\x94 Wrap brings in Gamma, which runs code as the program starts or ends: kept",
      "  [UNUSED] uses \xE2\x80\x94 Gamma runs code as the program starts or ends: kept",
      "  [INIT] uses \xE2\x80\x94 Wrap stays before Gamma (initialization: Gamma, Gamma)"}, true},
    {"MoveThatWouldChangeANameStays", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Mover,\n   Alpha;\nconst X = AlphaOnly;\nimplementation\nbegin MoverValue; AlphaValue; end.\n", "",
     {"  [MOVE] interface uses \xE2\x80\x94 Mover is used only in the implementation; it stays, as Alpha declares "
      "ALPHAVALUE too",
      "  [KEEP] interface uses \xE2\x80\x94 Mover stays before Alpha (AlphaValue)"}},
    {"NoMoveIntoAClauseSomeBuildsLeaveOut", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Alpha;\nimplementation\n{$IFDEF DEBUG}\nuses\n   Beta;\n{$ENDIF}\n"
     "begin AlphaValue; BetaValue; end.\n", "",
     {"  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation"}},
    {"NoMoveOutOfAClauseSomeBuildsLeaveOut", kMove, kUnits,
     "unit U;\ninterface\n{$IFDEF WINDOWS}\nuses\n   Alpha;\n{$ENDIF}\nimplementation\nbegin AlphaValue; end.\n", "",
     {"  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation"}},
    {"NoNewClauseBeforeADirective", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Alpha;\nimplementation\n{$I empty.inc}\nbegin AlphaValue; end.\n", "",
     {"  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation"}},
    {"NoMoveIntoAClauseWithDirectives", kMove, kUnits,
     "unit U;\ninterface\nuses\n   Alpha;\nimplementation\nuses {$IFDEF X} Beta, {$ENDIF} Gamma;\nbegin AlphaValue; end.\n", "",
     {"  [MOVE] interface uses \xE2\x80\x94 Alpha is used only in the implementation",
      "  [SKIP] implementation uses \xE2\x80\x94 contains compiler directives"}},
};

INSTANTIATE_TEST_SUITE_P(Table, UnneededUnitsTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// A copy of an engine shares what it learnt of the units, unless its scope
// names differ: then a unit may bring in another.
TEST(UnneededUnitsScopesTest, OtherScopeNamesFollowUnitsAfresh) {
    const FakeUnitCatalog catalog(u"Outer=OUTERVALUE USES~Inner|Sys.Inner=INIT~CODE");
    const std::string_view text = "program P;\nuses\n   Outer;\nbegin end.\n";
    TQuorvel plain(OptionsFor(kReport));
    plain.SetUnitCatalog(&catalog);
    VerifyFormatAndNotes(plain, text, "", {"  [UNUSED] uses \xE2\x80\x94 Outer"});
    TQuorvel scoped = plain;
    TFormatOptions options = scoped.Options();
    options.UnitScopeNames = {u"Sys"};
    scoped.SetOptions(options);
    VerifyFormatAndNotes(scoped, text, "",
                         {"  [UNUSED] uses \xE2\x80\x94 Outer brings in Inner, which runs code as the program "
                          "starts or ends: kept"});
}

// Positions in 8-bit text differ from those in UTF-16 once a character takes
// more than one byte: the units of the clause must still be told from their uses.
TEST(UnneededUnitsBytesTest, ReadAsTheirWidenedText) {
    const FakeUnitCatalog catalog(Utf16(kUnits));
    TQuorvel formatter(OptionsFor(kBoth));
    formatter.SetUnitCatalog(&catalog);
    const char* const texts[] = {
        "unit U; { \xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 }\ninterface\nuses Alpha, Beta;\nimplementation\nuses Gamma;\n"
        "begin AlphaValue; end.\n",
        "program P; { \xE2\x82\xAC\xE2\x82\xAC }\nuses Beta, Alpha;\nbegin AlphaValue; end.\n",
    };
    for (const char* text : texts) EXPECT_EQ(CheckNativeUnits(formatter, text), "");
}

}  // namespace
}  // namespace quorvel::test
