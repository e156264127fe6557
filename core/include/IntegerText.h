#pragma once
// The one rule by which the system reads a number from text (wrap width,
// settings file, version pieces).

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvel {

// Leading U+0020 blanks, an optional sign, then decimal digits or hexadecimal
// digits after "$", "x", "X", "0x" or "0X"; nothing may follow. Decimal values
// must fit a signed 32-bit integer; up to eight hex digits are read as the
// bits of one. Anything else is no integer.
std::optional<std::int32_t> ParseIntegerText(std::u16string_view AText);

}  // namespace quorvel
