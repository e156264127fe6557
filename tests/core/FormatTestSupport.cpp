#include "FormatTestSupport.h"

namespace quorvel::test {

std::u16string Utf16(std::string_view AUtf8) { return DecodeUtf8(AUtf8).value(); }

std::u16string WithBreaks(std::string_view AUtf8, std::u16string_view ALineBreak) {
    std::u16string result;
    for (char16_t c : Utf16(AUtf8)) {
        if (c == u'\n') result += ALineBreak;
        else result += c;
    }
    return result;
}

void VerifyFormat(const TQuorvel& AFormatter, std::u16string_view AExpected, std::u16string_view AInput) {
    SCOPED_TRACE("input: " + Show(AInput));
    const std::u16string once = AFormatter.F_FormatSource(std::u16string(AInput));
    EXPECT_EQ(Show(AExpected), Show(once));
    const std::u16string twice = AFormatter.F_FormatSource(once);
    EXPECT_EQ(Show(once), Show(twice)) << "formatting the result again changed it";
}

}  // namespace quorvel::test
