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

// The same texts as UTF-8 bytes: each row's match, if any, has only ASCII
// before it, so it stands at the same position.
TEST_P(KeywordSearchTest, FindsUsesInUtf8Bytes) {
    const KeywordCase& c = GetParam();
    EXPECT_EQ(c.Expected, detail::FindKeyword(c.Text, u"uses", c.Begin, std::min(c.End, c.Text.size())));
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

// 8-bit texts with bytes above 0x7F, read as single-byte code page text (or
// UTF-8, where such bytes come in runs): every such byte is an identifier
// character and opens nothing. Each row also runs widened byte for byte to
// UTF-16, where the same positions must come out. Blocks of sixteen bytes end
// after positions 15 and 31.
struct ByteCase {
    const char* Name;
    std::size_t Letters;  // bytes 0xE9 (é in Latin-1) before Text
    std::string_view Text;
    std::size_t Expected;  // 0-based, in the whole text
};

void PrintTo(const ByteCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class KeywordSearchBytesTest : public ::testing::TestWithParam<ByteCase> {};

TEST_P(KeywordSearchBytesTest, FindsUsesInBothWidths) {
    const ByteCase& c = GetParam();
    const std::string text = std::string(c.Letters, '\xE9') + std::string(c.Text);
    std::u16string wide;
    for (const char byte : text) wide += static_cast<char16_t>(static_cast<unsigned char>(byte));
    EXPECT_EQ(c.Expected, detail::FindKeyword(text, u"uses", 0, text.size()));
    EXPECT_EQ(c.Expected, detail::FindKeyword(wide, u"uses", 0, wide.size())) << "widened to UTF-16";
}

constexpr ByteCase kByteCases[] = {
    {"LatinLetterBefore", 1, "uses", kNotFound},
    {"LatinLetterAfter", 0, "uses\xE9", kNotFound},
    {"ByteFFBefore", 0, "\xFFuses", kNotFound},
    {"Byte80After", 0, "uses\x80", kNotFound},
    {"NoBreakSpaceJoins", 0, "x\xA0uses", kNotFound},
    {"Utf8LetterThenBlank", 0, "\xC3\xA9 uses", 3},
    {"BlankThenUtf8Letter", 0, "uses \xC3\xA9", 0},
    {"UpperCase", 1, " USES", 2},
    {"MixedCase", 1, " uSeS", 2},
    {"TopBitUBeforeSes", 0, "\xD5SES \xF5ses uses", 10},
    {"HighBytesInBraceComment", 0, "{\xFF uses \xE9} uses", 11},
    {"HighBytesInParenComment", 0, "(*\xE9 uses \xA8*) uses", 13},
    {"HighBytesInLineComment", 0, "// \xE9 uses\r\nuses", 11},
    {"HighBytesInString", 0, "'\xE9uses\xE9' uses", 9},
    {"QuoteWithTopBitOpensNothing", 0, "\xA7 uses", 2},
    {"BraceWithTopBitOpensNothing", 0, "\xFB uses", 2},
    {"AfterFifteenLetters", 15, " uses", 16},
    {"AcrossByteEdge", 14, " uses", 15},
    {"CommentOpenerAcrossByteEdge", 14, " (* uses *) uses", 26},
    {"InTailAfterTwoBlocks", 32, " uses", 33},
    {"LetterJoinsAtByteEdge", 15, "uses", kNotFound},
};
INSTANTIATE_TEST_SUITE_P(Table, KeywordSearchBytesTest, ::testing::ValuesIn(kByteCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::test
