// A file's rewrite as byte splices: the same bytes as encoding the formatted
// text whole, in every encoding, and the errors of the lossless rule.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "SourceFormatting.h"

namespace quorvel::files {
namespace {

const std::u16string kSource =
    u"unit \u00C9t\u00E9;\r\ninterface\r\nuses Zeta, \u00C4rger, Alpha; // \u20AC\r\n"
    u"implementation\r\nuses Y, B;\r\n{ \u00FF } end.\r\n";

Bytes Concat(Bytes ALeft, const Bytes& ARight) {
    ALeft.insert(ALeft.end(), ARight.begin(), ARight.end());
    return ALeft;
}

struct EncodingCase {
    const char* Name;
    SourceEncoding Encoding;
};

class SourceFormattingTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(SourceFormattingTest, SplicesGiveTheWholeTextEncodedAgain) {
    const SourceEncoding encoding = GetParam().Encoding;
    const Bytes mark = EncodingMark(encoding);
    const Bytes original = Concat(mark, EncodeSourceText(kSource, encoding));
    const TQuorvel formatter;

    const SourceRewrite rewrite = RewriteSourceBytes(original, formatter);

    EXPECT_EQ(rewrite.Encoding.Encoding, encoding);
    ASSERT_EQ(rewrite.Splices.size(), 2u);
    const Bytes expected = Concat(mark, EncodeSourceText(formatter.F_FormatSource(kSource), encoding));
    EXPECT_EQ(RewrittenBytes(original, rewrite), expected);
    EXPECT_FALSE(RewriteSourceBytes(expected, formatter).Changed());
}

INSTANTIATE_TEST_SUITE_P(Encodings, SourceFormattingTest,
                         ::testing::Values(EncodingCase{"Utf8", SourceEncoding::Utf8},
                                           EncodingCase{"Utf16LE", SourceEncoding::Utf16LE},
                                           EncodingCase{"Utf16BE", SourceEncoding::Utf16BE},
                                           EncodingCase{"Ansi", SourceEncoding::Ansi}),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

struct ErrorCase {
    const char* Name;
    Bytes Input;
    std::optional<std::string> Error;  // the reason; nothing: no error, and the file is unchanged
};

void PrintTo(const ErrorCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

// The literal's bytes, NULs included.
template <std::size_t N>
Bytes Raw(const char (&ALiteral)[N]) {
    return Bytes(ALiteral, ALiteral + N - 1);
}

const ErrorCase kErrorCases[] = {
    // The whole file is checked, not only its clauses.
    {"IllFormedUtf8AfterTheClause", Concat(Raw("\xEF\xBB\xBFuses B, A;\n"), Raw("{ \xC3 }")),
     "ill-formed UTF-8 at byte offset 16"},
    {"OddUtf16ByteWithAChange", Concat(Raw("\xFF\xFEu\0s\0e\0s\0 \0B\0,\0A\0;\0"), Raw("x")),
     "its UTF-16 text ends in a lone byte"},
    {"OddUtf16ByteWithoutAClause", Concat(Raw("\xFF\xFEx\0;\0"), Raw("x")), std::nullopt},
};

class SourceFormattingErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(SourceFormattingErrorTest, RefusesWhatWouldLoseBytes) {
    const ErrorCase& c = GetParam();
    try {
        const SourceRewrite rewrite = RewriteSourceBytes(c.Input, TQuorvel());
        EXPECT_FALSE(c.Error) << "no error";
        EXPECT_FALSE(rewrite.Changed());
    } catch (const ContentError& error) {
        EXPECT_EQ(error.Reason(), c.Error.value_or("no error"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, SourceFormattingErrorTest, ::testing::ValuesIn(kErrorCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::files
