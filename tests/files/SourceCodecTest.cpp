#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "SourceCodec.h"
#include "TestFolder.h"

namespace quorvel::files {
namespace {

using test::PrintTo;

using test::TestFolder;
using Text = std::optional<std::u16string>;
const Text kDecodingError = std::nullopt;

using test::CaseName;

// ---- the run rule: mark, encoding, text ------------------------------------

struct RunRuleCase {
    const char* Name;
    Bytes Input;
    SourceEncoding Encoding;
    std::size_t MarkLength;
    Text Expected;
};

class RunRuleTest : public ::testing::TestWithParam<RunRuleCase> {};

TEST_P(RunRuleTest, FindsTheMarkAndDecodesTheRest) {
    const RunRuleCase& c = GetParam();
    const DetectedEncoding found = DetectSourceEncoding(c.Input);
    EXPECT_EQ(found.Encoding, c.Encoding);
    EXPECT_EQ(found.MarkLength, c.MarkLength);
    if (c.Expected) {
        EXPECT_EQ(DecodeSourceText(c.Input, found.Encoding, found.MarkLength), *c.Expected);
    } else {
        EXPECT_THROW(DecodeSourceText(c.Input, found.Encoding, found.MarkLength), ContentError);
    }
}

constexpr auto U8 = SourceEncoding::Utf8;
constexpr auto LE = SourceEncoding::Utf16LE;
constexpr auto BE = SourceEncoding::Utf16BE;
constexpr auto Ansi = SourceEncoding::Ansi;

INSTANTIATE_TEST_SUITE_P(Marks, RunRuleTest, ::testing::Values(
    RunRuleCase{"Empty", {}, Ansi, 0, u""},
    RunRuleCase{"Utf8MarkAlone", {0xEF, 0xBB, 0xBF}, U8, 3, u""},
    RunRuleCase{"HalfUtf8MarkIsAnsi", {0xEF, 0xBB}, Ansi, 0, u"\u00EF\u00BB"},
    RunRuleCase{"Utf16LE", {0xFF, 0xFE, 0x41, 0x00}, LE, 2, u"A"},
    RunRuleCase{"Utf16LEMarkAlone", {0xFF, 0xFE}, LE, 2, u""},
    RunRuleCase{"Utf16BE", {0xFE, 0xFF, 0x00, 0x41}, BE, 2, u"A"},
    RunRuleCase{"Utf16ZeroUnit", {0xFF, 0xFE, 0x00, 0x00}, LE, 2, std::u16string(1, u'\0')},
    RunRuleCase{"Utf16UnpairedSurrogatePasses", {0xFF, 0xFE, 0x00, 0xD8}, LE, 2, u"\xD800"},
    RunRuleCase{"Utf16BodyOfOneByte", {0xFF, 0xFE, 0x41}, LE, 2, kDecodingError},
    RunRuleCase{"Utf16OddFinalByteIgnored", {0xFF, 0xFE, 0x41, 0x00, 0x42}, LE, 2, u"A"},
    RunRuleCase{"AnsiHighBytes", {0x80, 0x81, 0x9F, 0xA0, 0xFF}, Ansi, 0, u"\u20AC\u0081\u0178\u00A0\u00FF"}),
    CaseName);

Bytes Utf8File(std::initializer_list<std::uint8_t> ABody) { return test::Concat({0xEF, 0xBB, 0xBF}, Bytes(ABody)); }

INSTANTIATE_TEST_SUITE_P(Utf8, RunRuleTest, ::testing::Values(
    RunRuleCase{"TwoByteLowest", Utf8File({0xC2, 0x80}), U8, 3, u"\u0080"},
    RunRuleCase{"LastBeforeSurrogates", Utf8File({0xED, 0x9F, 0xBF}), U8, 3, u"\uD7FF"},
    RunRuleCase{"FourBytesToPair", Utf8File({0xF0, 0x9F, 0x98, 0x80}), U8, 3, u"\U0001F600"},
    RunRuleCase{"Highest", Utf8File({0xF4, 0x8F, 0xBF, 0xBF}), U8, 3, u"\U0010FFFF"},
    RunRuleCase{"BadContinuation", Utf8File({0xC3, 0x28}), U8, 3, kDecodingError},
    RunRuleCase{"LoneContinuation", Utf8File({0x41, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"OverlongTwoBytes", Utf8File({0xC0, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"OverlongThreeBytes", Utf8File({0xE0, 0x80, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"OverlongFourBytes", Utf8File({0xF0, 0x80, 0x80, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"Surrogate", Utf8File({0xED, 0xA0, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"AboveUnicode", Utf8File({0xF4, 0x90, 0x80, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"NoSuchLeadByte", Utf8File({0xF5, 0x80, 0x80, 0x80}), U8, 3, kDecodingError},
    RunRuleCase{"CutShortAtTheEnd", Utf8File({0xF0, 0x9F, 0x98}), U8, 3, kDecodingError}),
    CaseName);

TEST(DecodingErrorTest, SaysWhereAndNamesTheFileWhenTold) {
    const Bytes bytes = Utf8File({0x41, 0xC3, 0x28});
    try {
        DecodeSourceText(bytes, U8, 3);
        FAIL() << "no decoding error";
    } catch (const ContentError& error) {
        EXPECT_STREQ(error.what(), "Cannot decode: ill-formed UTF-8 at byte offset 4");
        EXPECT_STREQ(error.ForFile("src/Unit1.pas").what(),
                     "Cannot decode \"src/Unit1.pas\": ill-formed UTF-8 at byte offset 4");
    }
}

// ---- the preview rule -------------------------------------------------------

struct PreviewCase {
    const char* Name;
    Bytes Input;
    Text Expected;
};

class PreviewRuleTest : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewRuleTest, KnowsOnlyTheUtf8Mark) {
    if (GetParam().Expected) {
        EXPECT_EQ(DecodePreviewText(GetParam().Input), *GetParam().Expected);
    } else {
        EXPECT_THROW(DecodePreviewText(GetParam().Input), ContentError);
    }
}

INSTANTIATE_TEST_SUITE_P(Marks, PreviewRuleTest, ::testing::Values(
    PreviewCase{"Utf8", {0xEF, 0xBB, 0xBF, 0x41}, u"A"},
    PreviewCase{"Utf8MarkAlone", {0xEF, 0xBB, 0xBF}, u""},
    PreviewCase{"Utf16ReadAsAnsi", {0xFF, 0xFE, 0x41, 0x00}, std::u16string(u"\u00FF\u00FEA\0", 4)},
    PreviewCase{"HalfMarkIsAnsi", {0xEF, 0xBB}, u"\u00EF\u00BB"},
    PreviewCase{"IllFormedUtf8", {0xEF, 0xBB, 0xBF, 0xC3, 0x28}, kDecodingError}),
    CaseName);

// ---- writing: the bytes each encoding puts on disk --------------------------

struct WriteCase {
    const char* Name;
    std::u16string Text;
    SourceEncoding Encoding;
    Bytes Expected;  // the whole file, mark included
};

class WriteTextFileTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteTextFileTest, WritesTheMarkThenTheText) {
#ifdef _WIN32
    if (std::string_view(GetParam().Name) == "AnsiUnrepresentableIsQuestionMark") {
        GTEST_SKIP() << "the system's conversion decides how many \"?\" a surrogate pair becomes";
    }
#endif
    const TestFolder folder;
    const auto path = folder.Write("Unit1.pas", "an older and longer content");
    WriteTextFile(path, GetParam().Text, GetParam().Encoding);
    EXPECT_EQ(test::ReadBytes(path), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Encodings, WriteTextFileTest, ::testing::Values(
    WriteCase{"Utf8", u"x", U8, {0xEF, 0xBB, 0xBF, 0x78}},
    WriteCase{"Utf16LE", u"x", LE, {0xFF, 0xFE, 0x78, 0x00}},
    WriteCase{"Utf16BE", u"x", BE, {0xFE, 0xFF, 0x00, 0x78}},
    WriteCase{"Ansi", u"x", Ansi, {0x78}},
    WriteCase{"EmptyTextLeavesTheMark", u"", BE, {0xFE, 0xFF}},
    WriteCase{"Utf8Pair", u"\U0001F600", U8, {0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80}},
    WriteCase{"Utf16LEPair", u"\U0001F600", LE, {0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}},
    WriteCase{"Utf16BEPair", u"\U0001F600", BE, {0xFE, 0xFF, 0xD8, 0x3D, 0xDE, 0x00}},
    WriteCase{"AnsiEuroAndUndefinedBytes", u"\u20AC\u0081\u009D", Ansi, {0x80, 0x81, 0x9D}},
    WriteCase{"AnsiUnrepresentableIsQuestionMark", u"a\u0100\U0001F600b\u0080", Ansi, {0x61, 0x3F, 0x3F, 0x62, 0x3F}}),
    CaseName);

TEST(WriteTextFileErrorTest, Utf8CannotHoldAnUnpairedSurrogateAndNothingIsWritten) {
    const TestFolder folder;
    const auto path = folder / "Unit1.pas";
    try {
        WriteTextFile(path, u"ab\xDC00", U8);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot encode \"" + path.string() + "\": UTF-8 cannot hold the unpaired surrogate at text position 3");
    }
    EXPECT_TRUE(folder.Entries().empty());
}

TEST(AnsiTest, EveryByteDecodesToItsOwnCharacterAndBack) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    const std::u16string text = DecodeSourceText(all, Ansi, 0);
    EXPECT_EQ(std::set<char16_t>(text.begin(), text.end()).size(), 256u);
    EXPECT_EQ(EncodeSourceText(text, Ansi), all);
}

}  // namespace
}  // namespace quorvel::files
