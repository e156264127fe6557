#include "FormatTestSupport.h"

#include <cstdio>

namespace quorvel::test {

std::u16string Utf16(std::string_view AUtf8) {
    std::u16string result;
    for (std::size_t i = 0; i < AUtf8.size();) {
        const auto lead = static_cast<unsigned char>(AUtf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(AUtf8[i + k]) & 0x3F);
        if (code >= 0x10000) {
            result += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            result += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            result += static_cast<char16_t>(code);
        }
        i += length;
    }
    return result;
}

std::u16string WithBreaks(std::string_view AUtf8, std::u16string_view ALineBreak) {
    std::u16string result;
    for (char16_t c : Utf16(AUtf8)) {
        if (c == u'\n') result += ALineBreak;
        else result += c;
    }
    return result;
}

std::string Show(std::u16string_view AText) {
    std::string result;
    for (char16_t c : AText) {
        if (c == u'\r') result += "\\r";
        else if (c == u'\n') result += "\\n";
        else if (c >= 0x20 && c < 0x7F) result += static_cast<char>(c);
        else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            result += buffer;
        }
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
