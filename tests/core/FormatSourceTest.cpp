// Whole texts through F_FormatSource with the default options (comments kept,
// one unit per line). Every case is also formatted a second time and must come
// back unchanged.

#include <gtest/gtest.h>

#include <string_view>

#include "FormatTestSupport.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

struct FormatCase {
    const char* Name;
    std::string_view Input;
    std::string_view Expected;  // empty: the input comes back unchanged
    std::u16string_view LineBreak = u"\r\n";  // what "\n" stands for in both texts
};

void PrintTo(const FormatCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class FormatSourceTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatSourceTest, FormatsAndStaysStable) {
    const FormatCase& c = GetParam();
    const std::u16string input = WithBreaks(c.Input, c.LineBreak);
    const std::u16string expected = c.Expected.empty() ? input : WithBreaks(c.Expected, c.LineBreak);
    VerifyFormat(TQuorvel{}, expected, input);
}

constexpr FormatCase kWorkedExamples[] = {
    {"UnitWithTwoClauses",
     "unit Demo;\n\ninterface\n\nuses\n  Windows, SysUtils,\n  Classes;\n\ntype\n  TDemo = class\n  end;\n\n"
     "implementation\n\nuses Math, Controls;\n\nend.\n",
     "unit Demo;\n\ninterface\n\nuses\n   Classes,\n   SysUtils,\n   Windows;\n\ntype\n  TDemo = class\n  end;\n\n"
     "implementation\n\nuses\n   Controls,\n   Math;\n\nend.\n"},
    {"ProgramWithPathsAndFormComment",
     "program Demo;\n\nuses\n  Utils in 'Utils.pas',\n  Forms,\n  MainForm in 'MainForm.pas' {FrmMain};\n\n"
     "{$R *.res}\n\nbegin\n  Application.Run;\nend.\n",
     "program Demo;\n\nuses\n   Forms,\n   MainForm in 'MainForm.pas' {FrmMain},\n   Utils in 'Utils.pas';\n\n"
     "{$R *.res}\n\nbegin\n  Application.Run;\nend.\n"},
    {"DirectiveInInterfaceClause",
     "unit Skip;\ninterface\nuses\n  SysUtils,\n  {$IFDEF MSWINDOWS}\n  Windows,\n  {$ENDIF}\n  Classes;\n"
     "implementation\nuses Zed, Alpha;\nend.\n",
     "unit Skip;\ninterface\nuses\n  SysUtils,\n  {$IFDEF MSWINDOWS}\n  Windows,\n  {$ENDIF}\n  Classes;\n"
     "implementation\nuses\n   Alpha,\n   Zed;\nend.\n"},
    {"CommentLinesGoFirst",
     "uses\n  // core units\n  SysUtils, Classes,\n  { user interface }\n  Forms,\n  Dialogs;\n",
     "uses\n   // core units\n   { user interface }\n   Classes,\n   Dialogs,\n   Forms,\n   SysUtils;\n"},
};
INSTANTIATE_TEST_SUITE_P(WorkedExamples, FormatSourceTest, ::testing::ValuesIn(kWorkedExamples),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

constexpr FormatCase kSections[] = {
    {"EmptyText", "", ""},
    {"NoUsesClause", "unit U;\ninterface\nimplementation\nend.\n", ""},
    {"KeywordInAnyCase", "USES B, a;", "uses\n   a,\n   B;\n"},
    {"CodeAfterSemicolonStartsNextLine", "uses B, A; type", "uses\n   A,\n   B;\n type"},
    {"TextBeforeKeywordStays", "program P; uses B, A;", "program P; uses\n   A,\n   B;\n"},
    {"OnlyImplementationClause", "unit U;\ninterface\nimplementation\nuses B, A;\nend.\n",
     "unit U;\ninterface\nimplementation\nuses\n   A,\n   B;\nend.\n"},
    {"UnitWithoutImplementationTakesFirstClause", "unit U;\ninterface\nuses D, C;\nend.\nuses B, A;\n",
     "unit U;\ninterface\nuses\n   C,\n   D;\nend.\nuses B, A;\n"},
    {"OnlyFirstClauseOfProgram", "program P;\nuses B, A;\nuses D, C;\n", "program P;\nuses\n   A,\n   B;\nuses D, C;\n"},
    {"SectionWordsInCommentsAndStringsDoNotCount",
     "unit U;\n{ interface } // implementation\n(* interface *) x := 'implementation';\nuses D, C;\n"
     "interface\nuses B, A;\nimplementation\n",
     "unit U;\n{ interface } // implementation\n(* interface *) x := 'implementation';\nuses D, C;\n"
     "interface\nuses\n   A,\n   B;\nimplementation\n"},
    {"SectionWordsInsideIdentifiersDoNotCount",
     "unit U;\ntype IInterface = TInterfacedObject; Implementations = 1;\nuses B, A;\n",
     "unit U;\ntype IInterface = TInterfacedObject; Implementations = 1;\nuses\n   A,\n   B;\n"},
    {"ImplementationBeforeInterfaceIsNoUnit", "implementation\nuses B, A;\ninterface\nuses D, C;\n",
     "implementation\nuses\n   A,\n   B;\ninterface\nuses D, C;\n"},
    {"MissingSemicolonInInterfaceLeavesItForImplementation",
     "unit U;\ninterface\nuses B, A\nimplementation\nuses D, C;\nend.\n",
     "unit U;\ninterface\nuses B, A\nimplementation\nuses\n   C,\n   D;\nend.\n"},
    {"MissingSemicolonEverywhere", "program P;\nuses B, A\nbegin\nend.\n", ""},
    {"KeywordAfterUnterminatedCommentIsHidden", "{ open\nuses B, A;\n", ""},
    {"SemicolonAfterUnterminatedStringIsHidden", "uses B, 'A;\n", ""},
};
INSTANTIATE_TEST_SUITE_P(Sections, FormatSourceTest, ::testing::ValuesIn(kSections),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// The clause's own line break replaces the one after its `;`, and the text's
// first line break is the one written.
constexpr FormatCase kLineBreaks[] = {
    {"CrLf", "uses B, A;\nend.\n", "uses\n   A,\n   B;\nend.\n", u"\r\n"},
    {"Lf", "uses B, A;\nend.\n", "uses\n   A,\n   B;\nend.\n", u"\n"},
    {"Cr", "uses B, A;\nend.\n", "uses\n   A,\n   B;\nend.\n", u"\r"},
    {"NoneGivesCrLf", "uses B, A;", "uses\n   A,\n   B;\n", u"\r\n"},
    {"BlanksBeforeBreakGo", "uses B, A; \t \nend.\n", "uses\n   A,\n   B;\nend.\n", u"\n"},
    {"BlanksAtEndOfTextGo", "uses B, A;  ", "uses\n   A,\n   B;\n"},
    {"EmptyLineAfterClauseStays", "uses B, A;\n\nend.\n", "uses\n   A,\n   B;\n\nend.\n", u"\n"},
    {"FirstBreakOfTextWins", "program P;\r\nuses B,\nA;\n", "program P;\r\nuses\r\n   A,\r\n   B;\r\n", u"\n"},
    {"LoneCrBeforeLfIsNotMerged", "program P;\ruses B, A;\n\nend.", "program P;\ruses\r   A,\r   B;\r\n\nend.",
     u"\n"},
    {"LineCommentEndsAtLoneCr", "uses B, // b\rA;\r", "uses\r   A,\r   B; // b\r", u"\n"},
};
INSTANTIATE_TEST_SUITE_P(LineBreaks, FormatSourceTest, ::testing::ValuesIn(kLineBreaks),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

constexpr FormatCase kComments[] = {
    {"ParenCommentLine", "uses\n  (* core *)\n  B, A;\n", "uses\n   (* core *)\n   A,\n   B;\n"},
    {"MultiLineCommentKeptVerbatim", "uses\n  { first\n      second }\n  B, A;\n",
     "uses\n   { first\n      second }\n   A,\n   B;\n"},
    {"BraceCommentNotADirective", "uses\n  { $X }\n  B, A;\n", "uses\n   { $X }\n   A,\n   B;\n"},
    {"CommentInFrontTravelsButDoesNotSort", "uses Forms, {old} Dialogs, (* x *) Classes;",
     "uses\n   (* x *) Classes,\n   {old} Dialogs,\n   Forms;\n"},
    {"CommentInFrontOnItsOwnLineStart", "uses Zed,\n  {a} Alpha;", "uses\n   {a} Alpha,\n   Zed;\n"},
    {"CommentAfterNameStaysInElement", "uses B {x;y}, A;", "uses\n   A,\n   B {x;y};\n"},
    {"LineCommentFollowsItsElement", "uses\n  Zed, // z\n  Alpha;\n", "uses\n   Alpha,\n   Zed; // z\n"},
    {"LineCommentBeforeCommaFollowsElement", "uses\n  Zed // z\n  , Alpha;\n", "uses\n   Alpha,\n   Zed; // z\n"},
    {"CommentsAfterSemicolonBelongToLastElement", "uses Zed, Beta; // b\nend.\n",
     "uses\n   Beta, // b\n   Zed;\nend.\n"},
    {"CommentAfterSemicolonAlreadyInPlace", "uses\n   Alpha,\n   Zed; // z\nend.\n", ""},
    {"CommentsOnTwoLinesJoinOnOneElement", "uses Beta, Zed {a}\n; {b}\n", "uses\n   Beta,\n   Zed; {a} {b}\n"},
    {"CommentAfterKeywordIsACommentLine", "uses // all of them\n  B, A;", "uses\n   // all of them\n   A,\n   B;\n"},
    {"StringProtectsSeparators", "uses Foo in 'a;b,c//d.pas', Bar;", "uses\n   Bar,\n   Foo in 'a;b,c//d.pas';\n"},
    {"CommentProtectsSeparators", "uses Foo (* ,; *), Bar { , // ; };",
     "uses\n   Bar { , // ; },\n   Foo (* ,; *);\n"},
    {"ParenStarParenDoesNotCloseItself", "uses B, A (*) x; *);", "uses\n   A (*) x; *),\n   B;\n"},
    {"CommentThenCodeAfterSemicolonStays", "uses B, A; {x} type", "uses\n   A,\n   B;\n {x} type"},
    {"DirectiveAfterSemicolonIsNotTaken", "uses B, A; {$R *.res}\n", "uses\n   A,\n   B;\n {$R *.res}\n"},
    {"UnterminatedCommentAfterSemicolonIsNotTaken", "uses B, A; { open", "uses\n   A,\n   B;\n { open"},
    {"TwoLineCommentsOnOneElementLeaveClause", "uses Zed // a\n, // b\nAlpha;", ""},
    {"CommentBetweenCommasLeavesClause", "uses Zed, {x}, Alpha;", ""},
};
INSTANTIATE_TEST_SUITE_P(Comments, FormatSourceTest, ::testing::ValuesIn(kComments),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Only a list of unit names is rewritten; anything else stays as it is.
constexpr FormatCase kElements[] = {
    {"EmptyPiecesDropped", "uses A,,B,;", "uses\n   A,\n   B;\n"},
    {"ElementOverTwoLinesJoined", "uses Zed, Foo\n    in 'Foo.pas';", "uses\n   Foo in 'Foo.pas',\n   Zed;\n"},
    {"SpacingWithinLineKept", "uses Zed, Foo  in\t'Foo.pas';", "uses\n   Foo  in\t'Foo.pas',\n   Zed;\n"},
    {"BlankLinesIgnored", "uses\n\n  \t\n  B,\n\n  A;", "uses\n   A,\n   B;\n"},
    {"DottedNames", "uses System.SysUtils, System, Vcl.Forms;", "uses\n   System,\n   System.SysUtils,\n   Vcl.Forms;\n"},
    {"LettersBeyondAscii", "uses Über, Ärger, Zed;", "uses\n   Zed,\n   Ärger,\n   Über;\n"},
    {"DoubledQuoteInPath", "uses B, A in 'it''s.pas';", "uses\n   A in 'it''s.pas',\n   B;\n"},
    {"DuplicatesStay", "uses B, A, b;", "uses\n   A,\n   B,\n   b;\n"},
    {"CaseOnlyDifferenceKeepsSourceOrder", "uses b, A, a, B;", "uses\n   A,\n   a,\n   b,\n   B;\n"},
    {"OrderOfDotsDigitsUnderscoreAndBeyondAscii", "uses z1, Z9, _x, Été, System.Classes, System, SystemX;",
     "uses\n   System,\n   System.Classes,\n   SystemX,\n   z1,\n   Z9,\n   _x,\n   Été;\n"},
    {"OnlyCommentsLeftAlone", "uses\n  // nothing yet\n;", ""},
    {"NothingLeftAlone", "uses ;", ""},
    {"RunawayClauseLeftAlone", "uses B, A\nvar X: Integer;", ""},
    {"NumberLeftAlone", "uses B, 1A;", ""},
    {"DanglingDotLeftAlone", "uses B., A;", ""},
    {"PathWithoutNameLeftAlone", "uses B, in 'a.pas';", ""},
    {"TwoNamesWithoutCommaLeftAlone", "uses B A, C;", ""},
    {"ExpressionLeftAlone", "uses := B + A;", ""},
    {"KeywordGluedToLetterIsNoKeyword", "usesÉ B, A;", ""},
    {"CommentsInsideDottedNamesLeaveClause",
     "uses\n  dot{declaration:unitdots.dot},\n  unitdots{declaration:unitdots}.nsA{declaration:unitdots.nsA}\n"
     "    .nsAA{declaration:unitdots.nsA.nsAA}.nsAAA{declaration:unitdots.nsA.nsAA.nsAAA};\n",
     ""},
    {"CommentBeforeDotLeavesClause", "uses B, A {x}.C;", ""},
    {"CommentAfterDotLeavesClause", "uses B, A.(*x*)C;", ""},
    {"LineCommentBeforeDotLeavesClause", "uses B, A // x\n  .C;", ""},
    {"LineCommentAfterDotLeavesClause", "uses B, A. // x\n  C;", ""},
    {"CommentAfterDottedNameStays", "uses B, A.C {x};", "uses\n   A.C {x},\n   B;\n"},
};
INSTANTIATE_TEST_SUITE_P(Elements, FormatSourceTest, ::testing::ValuesIn(kElements),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::test
