#include "Windows1252.h"

#include <array>
#include <cstdint>

namespace quorvel::files {
namespace {

// Bytes 0x80 to 0x9F; all other bytes are the code point of the same value.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr std::uint8_t kUnrepresentable = '?';

std::uint8_t EncodeUnit(char16_t AUnit) {
    if (AUnit < 0x80 || (AUnit >= 0xA0 && AUnit <= 0xFF)) return static_cast<std::uint8_t>(AUnit);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == AUnit) return static_cast<std::uint8_t>(0x80 + i);
    }
    return kUnrepresentable;
}

bool StartsSurrogatePair(std::u16string_view AText, std::size_t APos) {
    return AText[APos] >= 0xD800 && AText[APos] <= 0xDBFF && APos + 1 < AText.size() &&
           AText[APos + 1] >= 0xDC00 && AText[APos + 1] <= 0xDFFF;
}

}  // namespace

std::u16string DecodeWindows1252(ByteView ABytes) {
    std::u16string text(ABytes.size(), u'\0');
    for (std::size_t i = 0; i < ABytes.size(); ++i) {
        const std::uint8_t byte = ABytes[i];
        text[i] = byte >= 0x80 && byte <= 0x9F ? kHighControlRange[byte - 0x80] : char16_t{byte};
    }
    return text;
}

Bytes EncodeWindows1252(std::u16string_view AText) {
    Bytes bytes;
    bytes.reserve(AText.size());
    for (std::size_t pos = 0; pos < AText.size(); ++pos) {
        if (StartsSurrogatePair(AText, pos)) {
            bytes.push_back(kUnrepresentable);
            ++pos;
        } else {
            bytes.push_back(EncodeUnit(AText[pos]));
        }
    }
    return bytes;
}

}  // namespace quorvel::files
