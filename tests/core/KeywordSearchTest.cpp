// The keyword search every section and clause lookup rests on.

#include <gtest/gtest.h>

#include <string_view>

#include "FormatTestSupport.h"
#include "KeywordSearch.h"

namespace quorvel::test {
namespace {

using detail::kNotFound;

struct KeywordCase {
    const char* Name;
    std::string_view Text;
    std::size_t Expected;  // 0-based
    std::size_t Begin = 0;
    std::size_t End = kNotFound;  // kNotFound: the end of the text
};

void PrintTo(const KeywordCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class KeywordSearchTest : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(KeywordSearchTest, FindsUsesOutsideCommentsAndStrings) {
    const KeywordCase& c = GetParam();
    const std::u16string text = Utf16(c.Text);
    EXPECT_EQ(c.Expected, detail::FindKeyword(text, u"uses", c.Begin, std::min(c.End, text.size())));
}

constexpr KeywordCase kCases[] = {
    {"AtStart", "uses", 0},
    {"AtEnd", "x uses", 2},
    {"AnyCase", "x UsEs", 2},
    {"BeforeSemicolon", "uses;", 0},
    {"BeforeBrace", "uses{", 0},
    {"InParentheses", "(uses)", 1},
    {"LetterBefore", "xuses", kNotFound},
    {"DigitAfter", "uses1", kNotFound},
    {"UnderscoreBefore", "_uses", kNotFound},
    {"LetterBeyondAsciiBefore", "\u00C9uses", kNotFound},
    {"LetterBeyondAsciiAfter", "uses\u00C9", kNotFound},
    {"InBraceComment", "{uses} uses", 7},
    {"InParenComment", "(* uses *) uses", 11},
    {"ParenStarParenStaysOpen", "(*) uses *) uses", 12},
    {"AfterLineCommentEndingInLf", "// uses\nuses", 8},
    {"AfterLineCommentEndingInLoneCr", "// uses\ruses", 8},
    {"InString", "'uses' uses", 7},
    {"AfterDoubledQuote", "'it''s' uses", 8},
    {"InUnterminatedComment", "{ uses", kNotFound},
    {"InUnterminatedString", "' uses", kNotFound},
    {"EndBoundOneShort", "uses", kNotFound, 0, 3},
    {"NeighbourBeyondEndBoundCounts", "uses1", kNotFound, 0, 4},
    {"BeginInsideIdentifier", "xuses", kNotFound, 1},
    {"BeginInsideCommentScansAsCode", "{ uses }", 2, 1},
    {"EmptyText", "", kNotFound},
};
INSTANTIATE_TEST_SUITE_P(Table, KeywordSearchTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::test
