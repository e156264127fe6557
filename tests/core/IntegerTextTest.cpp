#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "IntegerText.h"

namespace quorvel {
namespace {

struct IntegerCase {
    std::u16string_view Text;
    std::optional<std::int32_t> Expected;
};

// Shown in test names and failures as the text itself, non-ASCII as \uXXXX.
void PrintTo(const IntegerCase& ACase, std::ostream* AOut) {
    *AOut << '"';
    for (char16_t c : ACase.Text) {
        if (c >= 0x20 && c < 0x7F) *AOut << static_cast<char>(c);
        else *AOut << "\\u" << std::hex << static_cast<int>(c) << std::dec;
    }
    *AOut << '"';
}

class IntegerTextTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextTest, ReadsLikeTheRule) {
    EXPECT_EQ(ParseIntegerText(GetParam().Text), GetParam().Expected);
}

constexpr std::optional<std::int32_t> kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(Table, IntegerTextTest, ::testing::Values(
    // decimal, signs, leading spaces only
    IntegerCase{u"80", 80}, IntegerCase{u"0", 0}, IntegerCase{u"007", 7},
    IntegerCase{u"-5", -5}, IntegerCase{u"+5", 5}, IntegerCase{u"   12", 12},
    IntegerCase{u"\t12", kNone}, IntegerCase{u"12 ", kNone}, IntegerCase{u"1 2", kNone},
    IntegerCase{u"", kNone}, IntegerCase{u" ", kNone}, IntegerCase{u"-", kNone}, IntegerCase{u"+-1", kNone},
    IntegerCase{u"- 1", kNone}, IntegerCase{u"1.0", kNone}, IntegerCase{u"abc", kNone},
    // 32-bit limits
    IntegerCase{u"2147483647", 2147483647}, IntegerCase{u"2147483648", kNone},
    IntegerCase{u"-2147483648", INT32_MIN}, IntegerCase{u"-2147483649", kNone},
    IntegerCase{u"99999999999999999999", kNone},
    // hexadecimal prefixes
    IntegerCase{u"$1F", 31}, IntegerCase{u"x1f", 31}, IntegerCase{u"X1F", 31},
    IntegerCase{u"0x10", 16}, IntegerCase{u"0X10", 16}, IntegerCase{u"-$10", -16}, IntegerCase{u" $a", 10},
    IntegerCase{u"$", kNone}, IntegerCase{u"0x", kNone}, IntegerCase{u"$G", kNone}, IntegerCase{u"1F", kNone},
    IntegerCase{u"$FFFFFFFF", -1}, IntegerCase{u"$7FFFFFFF", 2147483647}, IntegerCase{u"$80000000", INT32_MIN},
    IntegerCase{u"$000000001", 1}, IntegerCase{u"$100000000", kNone},
    IntegerCase{u"-$FFFFFFFF", 1}, IntegerCase{u"-$80000000", INT32_MIN},
    // digits beyond ASCII are not digits
    IntegerCase{u"\uFF11", kNone}));

}  // namespace
}  // namespace quorvel
