#include "IntegerText.h"

namespace quorvel {
namespace {

int DigitValue(char16_t AChar, int ABase) {
    int value = -1;
    if (AChar >= u'0' && AChar <= u'9') value = AChar - u'0';
    else if (AChar >= u'A' && AChar <= u'F') value = AChar - u'A' + 10;
    else if (AChar >= u'a' && AChar <= u'f') value = AChar - u'a' + 10;
    return value < ABase ? value : -1;
}

// Length of the hexadecimal prefix at the start of AText, 0 when there is none.
std::size_t HexPrefixLength(std::u16string_view AText) {
    if (AText.starts_with(u"0x") || AText.starts_with(u"0X")) return 2;
    if (AText.starts_with(u"$") || AText.starts_with(u"x") || AText.starts_with(u"X")) return 1;
    return 0;
}

}  // namespace

std::optional<std::int32_t> ParseIntegerText(std::u16string_view AText) {
    while (AText.starts_with(u' ')) AText.remove_prefix(1);
    bool negative = false;
    if (AText.starts_with(u'-') || AText.starts_with(u'+')) {
        negative = AText.front() == u'-';
        AText.remove_prefix(1);
    }
    const std::size_t prefix = HexPrefixLength(AText);
    const int base = prefix > 0 ? 16 : 10;
    AText.remove_prefix(prefix);
    if (AText.empty()) return std::nullopt;

    // Decimal: the magnitude may reach 2^31 only when negated. Hex: at most
    // eight significant digits, whose 32 bits are the value.
    std::uint64_t magnitude = 0;
    int significant = 0;
    for (char16_t c : AText) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
        if (base == 16) {
            if (magnitude != 0 && ++significant > 8) return std::nullopt;
        } else if (magnitude > (std::uint64_t{1} << 31)) {
            return std::nullopt;
        }
    }
    if (base == 16) {
        // The digits are the 32 bits of the value; negation wraps like the
        // 32-bit integer it is, so "-$80000000" is the smallest value.
        const auto bits = static_cast<std::uint32_t>(magnitude);
        return static_cast<std::int32_t>(negative ? 0u - bits : bits);
    }
    if (!negative && magnitude > 0x7FFFFFFFu) return std::nullopt;
    const auto value = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace quorvel
