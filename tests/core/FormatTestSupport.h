#pragma once
// Helpers that keep every formatting case one line: texts are written as
// UTF-8 literals with "\n" line breaks, converted to the line break under
// test, and failures show the text with its breaks made visible.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::test {

// UTF-8 to UTF-16; enough for test literals (no validation).
std::u16string Utf16(std::string_view AUtf8);

// Utf16 with every "\n" replaced by ALineBreak.
std::u16string WithBreaks(std::string_view AUtf8, std::u16string_view ALineBreak);

// One line of ASCII: CR and LF as \r and \n, other controls and non-ASCII as \uXXXX.
std::string Show(std::u16string_view AText);

// Formats AInput, expects AExpected, then formats the result again and expects
// it back unchanged.
void VerifyFormat(const TQuorvel& AFormatter, std::u16string_view AExpected, std::u16string_view AInput);

}  // namespace quorvel::test
