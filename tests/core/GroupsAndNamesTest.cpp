// Groups of units, unit scope names added or removed, and unit names in
// their declared letter case. Each case formats a text under its options and
// catalog, checks the notes of that run, then formats the result again.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "FakeUnitCatalog.h"
#include "FormatTestSupport.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

struct NamesCase {
    const char* Name;
    std::vector<std::u16string> Groups;
    std::string_view Units;  // the catalog, as FakeUnitCatalog reads it; empty: no catalog
    std::string_view Input;
    std::string_view Expected;                 // empty: the input comes back unchanged
    std::vector<std::string_view> Notes = {};  // the notes of the first formatting, in order
    TUnitScopeWriting Scopes = TUnitScopeWriting::AsWritten;
    bool DeclaredCase = false;
    bool Vertical = true;
    bool Separator = true;
    std::vector<std::u16string> ScopeNames = DefaultUnitScopeNames();
};

void PrintTo(const NamesCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class GroupsAndNamesTest : public ::testing::TestWithParam<NamesCase> {};

TEST_P(GroupsAndNamesTest, FormatsAndStaysStable) {
    const NamesCase& c = GetParam();
    TFormatOptions options;
    options.UnitGroups = c.Groups;
    options.UnitScopeWriting = c.Scopes;
    options.DeclaredUnitCase = c.DeclaredCase;
    options.VerticalList = c.Vertical;
    options.GroupSeparator = c.Separator;
    options.UnitScopeNames = c.ScopeNames;
    const FakeUnitCatalog catalog(Utf16(c.Units));
    TQuorvel formatter(options);
    if (!c.Units.empty()) formatter.SetUnitCatalog(&catalog);

    VerifyFormatAndNotes(formatter, c.Input, c.Expected, c.Notes);
}

std::string CaseName(const ::testing::TestParamInfo<NamesCase>& AInfo) { return AInfo.param.Name; }

constexpr std::string_view kDeleteFile = "SysUtils=DeleteFile|Windows=DeleteFile";

const NamesCase kGroups[] = {
    {"ByPatternThenNameOtherLast", {u"System.*", u"Vcl.*;Vcl", u"Data.*"}, "",
     "uses Vcl.Forms, Data.DB, MyUnit, System.Classes, Vcl, System.SysUtils;",
     "uses\n   System.Classes,\n   System.SysUtils,\n\n   Vcl,\n   Vcl.Forms,\n\n   Data.DB,\n\n   MyUnit;\n"},
    {"OtherWhereListed", {u"other", u"System.*"}, "", "uses System.Classes, Zed, Alpha;",
     "uses\n   Alpha,\n   Zed,\n\n   System.Classes;\n"},
    {"MostLettersWinWhateverTheOrder", {u"System.*", u"System.Win.*"}, "",
     "uses System.Win.Registry, System.Classes, Alpha;",
     "uses\n   System.Classes,\n\n   System.Win.Registry,\n\n   Alpha;\n"},
    {"QuestionMarkAndAnyLetterCase", {u"unit?"}, "", "uses Zed, UNIT2, Unit10, unit1;",
     "uses\n   unit1,\n   UNIT2,\n\n   Unit10,\n   Zed;\n"},
    {"ProjectUnitsLastUnlessPlaced", {u"System.*"}, "+MainForm=|+Helpers=",
     "uses MainForm, System.Classes, Zed, Helpers;",
     "uses\n   System.Classes,\n\n   Zed,\n\n   Helpers,\n   MainForm;\n"},
    {"ProjectWhereListed", {u"project", u"System.*"}, "+MainForm=", "uses System.Classes, MainForm, Zed;",
     "uses\n   MainForm,\n\n   System.Classes,\n\n   Zed;\n"},
    {"KeepFirstBeforeEveryGroup", {u"System.*"}, "", "uses System.Classes, Zed, FastMM4;",
     "uses\n   FastMM4,\n\n   System.Classes,\n\n   Zed;\n"},
    {"NameRuleWinsAcrossGroups", {u"Windows", u"System.*"}, "System.SysUtils=DeleteFile|Windows=DeleteFile",
     "uses System.SysUtils, Windows, Alpha;\nbegin DeleteFile('x'); end.\n",
     "uses\n   System.SysUtils,\n   Windows,\n\n   Alpha;\nbegin DeleteFile('x'); end.\n",
     {"  [GROUP] uses \u2014 System.SysUtils stays before Windows (DeleteFile), out of its group Windows"}},
    {"BlankLineBlocksKept", {u"keep-blocks"}, "", "uses\n  Zed, Alpha,\n\n  // more\n  Delta, Beta;",
     "uses\n   // more\n   Alpha,\n   Zed,\n\n   Beta,\n   Delta;\n"},
    {"BlocksAndGroupsTogether", {u"keep-blocks", u"System.*"}, "", "uses Zed, System.Classes,\n\n Beta;",
     "uses\n   System.Classes,\n\n   Zed,\n\n   Beta;\n"},
    {"BlankLinesMeanNothingWithoutKeepBlocks", {u"System.*"}, "", "uses Zed,\n\n System.Classes;",
     "uses\n   System.Classes,\n\n   Zed;\n"},
    {"WrappedGroupsBeginLines", {u"System.*"}, "", "uses Zed, System.Classes, Alpha, System.Types;",
     "uses\n   System.Classes, System.Types,\n   Alpha, Zed;\n", {}, TUnitScopeWriting::AsWritten, false, false},
    {"NoSeparator", {u"System.*"}, "", "uses Zed, System.Classes;", "uses\n   System.Classes,\n   Zed;\n", {},
     TUnitScopeWriting::AsWritten, false, true, false},
    {"VclPresetFindsScopesOfShortNames", {u"vcl"}, "", "uses Forms, MyUnit, DB, SysUtils, Windows;",
     "uses\n   Windows,\n\n   SysUtils,\n\n   Forms,\n\n   DB,\n\n   MyUnit;\n"},
    {"LazarusPreset", {u"lazarus"}, "+Unit1=", "uses Unit1, Forms, Classes, LCLType, SynEdit, SysUtils;",
     "uses\n   Classes,\n   SysUtils,\n\n   Forms,\n   LCLType,\n\n   SynEdit,\n\n   Unit1;\n"},
};
INSTANTIATE_TEST_SUITE_P(Groups, GroupsAndNamesTest, ::testing::ValuesIn(kGroups), CaseName);

const NamesCase kScopes[] = {
    {"AddedFromShippedUnits", {}, "", "uses SysUtils, Windows, Forms, MyUnit;",
     "uses\n   MyUnit,\n   System.SysUtils,\n   Vcl.Forms,\n   Winapi.Windows;\n",
     {"  [SCOPE] uses \u2014 SysUtils as System.SysUtils", "  [SCOPE] uses \u2014 Windows as Winapi.Windows",
      "  [SCOPE] uses \u2014 Forms as Vcl.Forms"},
     TUnitScopeWriting::Add},
    {"AddedFromTheCatalog", {}, "Acme.Tools=|Tools2=", "uses Tools, Tools2;", "uses\n   Acme.Tools,\n   Tools2;\n",
     {"  [SCOPE] uses \u2014 Tools as Acme.Tools"}, TUnitScopeWriting::Add, false, true, true, {u"Acme"}},
    {"NotAddedWhereTwoScopesGiveAUnit", {}, "", "uses Graphics;", "uses\n   Graphics;\n", {}, TUnitScopeWriting::Add,
     false, true, true, {u"Vcl", u"FMX"}},
    {"NotAddedWhereTheShortNameIsAUnit", {}, "SysUtils=", "uses SysUtils;", "uses\n   SysUtils;\n", {},
     TUnitScopeWriting::Add},
    {"PathsAndFormCommentsUntouched", {}, "", "uses Main in 'Main.pas' {FrmMain}, Forms {Form1}, SysUtils;",
     "uses\n   Forms {Form1},\n   Main in 'Main.pas' {FrmMain},\n   System.SysUtils;\n",
     {"  [SCOPE] uses \u2014 SysUtils as System.SysUtils"}, TUnitScopeWriting::Add},
    {"DirectivesLeaveTheClause", {}, "", "uses SysUtils {$IFDEF X}, Windows{$ENDIF};", "",
     {"  [SKIP] uses \u2014 contains compiler directives"}, TUnitScopeWriting::Add},
    {"Removed", {}, "", "uses System.SysUtils, Vcl.Forms, System.Win.Registry;",
     "uses\n   Forms,\n   Registry,\n   SysUtils;\n",
     {"  [SCOPE] uses \u2014 System.SysUtils as SysUtils", "  [SCOPE] uses \u2014 Vcl.Forms as Forms",
      "  [SCOPE] uses \u2014 System.Win.Registry as Registry"},
     TUnitScopeWriting::Remove},
    {"NotRemovedWhereTheShortNameIsAmbiguous", {}, "", "uses Vcl.Graphics;", "uses\n   Vcl.Graphics;\n", {},
     TUnitScopeWriting::Remove, false, true, true, {u"Vcl", u"FMX"}},
    {"RemovedWhereOnlyTheShortNameHasASource", {}, "SysUtils=", "uses System.SysUtils;", "uses\n   SysUtils;\n",
     {"  [SCOPE] uses \u2014 System.SysUtils as SysUtils"}, TUnitScopeWriting::Remove},
    {"NameRuleCountsBothSpellingsAsOne", {}, kDeleteFile,
     "uses Windows, System.SysUtils;\nbegin DeleteFile('x'); end.\n",
     "uses\n   Windows,\n   SysUtils;\nbegin DeleteFile('x'); end.\n",
     {"  [SCOPE] uses \u2014 System.SysUtils as SysUtils", "  [KEEP] uses \u2014 Windows stays before SysUtils (DeleteFile)"},
     TUnitScopeWriting::Remove},
    {"NameRuleKeepsTheWrittenScopedOrder", {}, kDeleteFile, "uses Windows, System.SysUtils;\nbegin DeleteFile('x'); end.\n",
     "uses\n   Windows,\n   System.SysUtils;\nbegin DeleteFile('x'); end.\n",
     {"  [KEEP] uses \u2014 Windows stays before System.SysUtils (DeleteFile)"}},
};
INSTANTIATE_TEST_SUITE_P(Scopes, GroupsAndNamesTest, ::testing::ValuesIn(kScopes), CaseName);

const NamesCase kDeclaredCase[] = {
    {"AsTheHeadingSpellsIt", {}, "SysUtils=|Classes=", "uses sysutils, CLASSES, unknown;",
     "uses\n   Classes,\n   SysUtils,\n   unknown;\n",
     {"  [CASE] uses \u2014 sysutils as SysUtils", "  [CASE] uses \u2014 CLASSES as Classes"}, TUnitScopeWriting::AsWritten,
     true},
    {"FoundThroughAScopeName", {}, "System.SysUtils=", "uses sysutils;", "uses\n   SysUtils;\n",
     {"  [CASE] uses \u2014 sysutils as SysUtils"}, TUnitScopeWriting::AsWritten, true},
    {"OnlyTheDeclaredPartOfAScopedName", {}, "SysUtils=", "uses system.sysutils;", "uses\n   system.SysUtils;\n",
     {"  [CASE] uses \u2014 system.sysutils as system.SysUtils"}, TUnitScopeWriting::AsWritten, true},
    {"AfterAScopeNameIsAdded", {}, "Acme.Tools=", "uses tools;", "uses\n   Acme.Tools;\n",
     {"  [SCOPE] uses \u2014 tools as Acme.tools", "  [CASE] uses \u2014 Acme.tools as Acme.Tools"},
     TUnitScopeWriting::Add, true, true, true, {u"Acme"}},
    {"PathElementsUntouched", {}, "Main=", "uses main in 'main.pas';", "uses\n   main in 'main.pas';\n", {},
     TUnitScopeWriting::AsWritten, true},
};
INSTANTIATE_TEST_SUITE_P(DeclaredCase, GroupsAndNamesTest, ::testing::ValuesIn(kDeclaredCase), CaseName);

TEST(UnitGroupProblemTest, NamesWhatIsWrong) {
    EXPECT_EQ(u"", F_UnitGroupProblem(u" Vcl.*; Vcl "));
    EXPECT_EQ(u"", F_UnitGroupProblem(u"LAZARUS"));
    EXPECT_EQ(u"a group needs at least one pattern", F_UnitGroupProblem(u"  "));
    EXPECT_EQ(u"\"Sys tem\" is not a unit name pattern (letters, digits, _, ., * and ?)",
              F_UnitGroupProblem(u"Sys tem;Vcl"));
    EXPECT_EQ(u"\"other\" stands for a group of its own and cannot be one pattern of several",
              F_UnitGroupProblem(u"Vcl.*;other"));
}

TEST(UnitHeadingNameTest, ReadsTheDottedNameAsSpelt) {
    EXPECT_EQ(u"System.SysUtils", F_UnitHeadingName(u"{ c } // x\nUNIT System . {y} SysUtils;\ninterface"));
    EXPECT_EQ(u"", F_UnitHeadingName(u"program P;"));
    EXPECT_EQ(u"", F_UnitHeadingName(u"unit ;"));
}

}  // namespace
}  // namespace quorvel::test
