// The options of the formatter: the wrapped layout and its width, the
// vertical layout's indifference to the width, and clauses without comments.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>

#include "FormatTestSupport.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

struct OptionsCase {
    const char* Name;
    bool VerticalList;
    std::int32_t WordWrapAt;
    bool PreserveComments;
    std::string_view Input;
    std::string_view Expected;
};

void PrintTo(const OptionsCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class LayoutOptionsTest : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LayoutOptionsTest, LaysOutAndStaysStable) {
    const OptionsCase& c = GetParam();
    TQuorvel formatter;
    formatter.SetVerticalList(c.VerticalList);
    formatter.SetWordWrapAt(c.WordWrapAt);
    formatter.SetPreserveComments(c.PreserveComments);
    VerifyFormat(formatter, WithBreaks(c.Expected, u"\r\n"), WithBreaks(c.Input, u"\r\n"));
}

constexpr std::string_view kFiveNames = "uses Echo, delta, Charlie, bravo, Alpha;";
constexpr std::int32_t kMaxWidth = std::numeric_limits<std::int32_t>::max();

constexpr OptionsCase kWrapped[] = {
    {"CommentLinesThenOneLine", false, 80, true,
     "uses\n  // core units\n  SysUtils, Classes,\n  { user interface }\n  Forms,\n  Dialogs;",
     "uses\n   // core units\n   { user interface }\n   Classes, Dialogs, Forms, SysUtils;\n"},
    {"Width20", false, 20, true, kFiveNames, "uses\n   Alpha, bravo,\n   Charlie, delta,\n   Echo;\n"},
    {"Width17CountsTrailingBlank", false, 17, true, kFiveNames, "uses\n   Alpha, bravo,\n   Charlie,\n   delta, Echo;\n"},
    {"Width16", false, 16, true, kFiveNames, "uses\n   Alpha,\n   bravo,\n   Charlie,\n   delta, Echo;\n"},
    {"LongNameStandsAlone", false, 10, true, "uses VeryLongUnitName, B, A;", "uses\n   A, B,\n   VeryLongUnitName;\n"},
    {"LongFirstNameNoEmptyLine", false, 10, true, "uses B, Aaaaaaaaaaaaaaaa;", "uses\n   Aaaaaaaaaaaaaaaa,\n   B;\n"},
    {"WidthZero", false, 0, true, "uses C, B, A;", "uses\n   A,\n   B,\n   C;\n"},
    {"WidthNegative", false, -5, true, "uses C, B, A;", "uses\n   A,\n   B,\n   C;\n"},
    {"WidthLargest", false, kMaxWidth, true, "uses C, B, A;", "uses\n   A, B, C;\n"},
    {"SingleEntry", false, 80, true, "uses A;", "uses\n   A;\n"},
    {"TrailingCommentEndsItsLine", false, 80, true, "uses D, C, B, // b\n A;", "uses\n   A, B, // b\n   C, D;\n"},
    {"TrailingCommentOfLastEntry", false, 80, true, "uses Zed, Alpha; // a", "uses\n   Alpha, // a\n   Zed;\n"},
    {"CommentInFrontCountsForWidth", false, 11, true, "uses B, {c} A;", "uses\n   {c} A,\n   B;\n"},
};
INSTANTIATE_TEST_SUITE_P(Wrapped, LayoutOptionsTest, ::testing::ValuesIn(kWrapped),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

constexpr OptionsCase kOtherOptions[] = {
    {"VerticalIgnoresWidth", true, 5, true, kFiveNames, "uses\n   Alpha,\n   bravo,\n   Charlie,\n   delta,\n   Echo;\n"},
    {"VerticalSingleEntry", true, 80, true, "uses A;", "uses\n   A;\n"},
    {"WithoutCommentsVertical", true, 80, false, "uses\n  // c\n  B, // b\n  {x} A; // a",
     "uses\n   {x} A,\n   B;\n"},
    {"WithoutCommentsWrapped", false, 80, false, "uses\n  { c }\n  B, // b\n  A;", "uses\n   A, B;\n"},
};
INSTANTIATE_TEST_SUITE_P(Options, LayoutOptionsTest, ::testing::ValuesIn(kOtherOptions),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Clauses with compiler directives are reported once each, in text order,
// and left exactly as they were.
struct SkipCase {
    const char* Name;
    std::string_view Input;
    std::vector<std::u16string_view> Messages;
    std::string_view Expected;  // empty: unchanged
};

void PrintTo(const SkipCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

constexpr std::u16string_view kSkipInterface = u"  [SKIP] interface uses \u2014 contains compiler directives";
constexpr std::u16string_view kSkipImplementation = u"  [SKIP] implementation uses \u2014 contains compiler directives";
constexpr std::u16string_view kSkipUses = u"  [SKIP] uses \u2014 contains compiler directives";

class SkipMessageTest : public ::testing::TestWithParam<SkipCase> {};

TEST_P(SkipMessageTest, ReportsAndLeavesClause) {
    const SkipCase& c = GetParam();
    std::vector<std::u16string> messages;
    TQuorvel formatter;
    formatter.SetPreserveComments(false);  // directives are found whatever the option
    formatter.SetOnSkipBlock([&](const std::u16string& AMsg) { messages.push_back(AMsg); });
    const std::u16string input = WithBreaks(c.Input, u"\r\n");
    const std::u16string result = formatter.F_FormatSource(input);
    EXPECT_EQ(Show(c.Expected.empty() ? input : WithBreaks(c.Expected, u"\r\n")), Show(result));
    EXPECT_EQ(std::vector<std::u16string>(c.Messages.begin(), c.Messages.end()), messages);
}

const SkipCase kSkipCases[] = {
    {"InterfaceOnly", "unit U;\ninterface\nuses\n  {$IFDEF X}\n  B,\n  {$ENDIF}\n  A;\nimplementation\nuses D, C;\nend.",
     {kSkipInterface}, "unit U;\ninterface\nuses\n  {$IFDEF X}\n  B,\n  {$ENDIF}\n  A;\nimplementation\nuses\n   C,\n   D;\nend."},
    {"BothSections", "unit U;\ninterface\nuses {$I a.inc} A;\nimplementation\nuses (*$IFDEF X*) B;\nend.",
     {kSkipInterface, kSkipImplementation}, ""},
    {"DirectiveInsideLine", "program P;\nuses SysUtils{$IFDEF X}, Foo{$ENDIF};\n", {kSkipUses}, ""},
    {"DirectiveInFrontOfName", "uses B, {$IFDEF X} A;", {kSkipUses}, ""},
    {"NoDirectiveNoMessage", "uses := B + A;", {}, ""},
    {"DirectiveInStringIsNone", "uses B, A in '{$X}.pas';", {}, "uses\n   A in '{$X}.pas',\n   B;\n"},
};
INSTANTIATE_TEST_SUITE_P(Table, SkipMessageTest, ::testing::ValuesIn(kSkipCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::test
