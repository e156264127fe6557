#pragma once
// Text helpers of the engine's checks: test literals and files in, readable
// failure messages out.

#include <optional>
#include <string>
#include <string_view>

namespace quorvel::test {

// Well-formed UTF-8 to UTF-16; nothing when the bytes are not UTF-8.
std::optional<std::u16string> DecodeUtf8(std::string_view ABytes);

// UTF-16 to UTF-8; a lone surrogate is written as if it were a character.
std::string EncodeUtf8(std::u16string_view AText);

// One line of ASCII: CR and LF as \r and \n, other controls and non-ASCII as \uXXXX.
std::string Show(std::u16string_view AText);

}  // namespace quorvel::test
