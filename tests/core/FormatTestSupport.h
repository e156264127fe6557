#pragma once
// Helpers that keep every formatting case one line: texts are written as
// UTF-8 literals with "\n" line breaks, converted to the line break under
// test, and failures show the text with its breaks made visible.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "QuorvelCore.h"
#include "TestText.h"

namespace quorvel::test {

// A UTF-8 test literal as UTF-16.
std::u16string Utf16(std::string_view AUtf8);

// Utf16 with every "\n" replaced by ALineBreak.
std::u16string WithBreaks(std::string_view AUtf8, std::u16string_view ALineBreak);

// Formats AInput, expects AExpected, then formats the result again and expects
// it back unchanged.
void VerifyFormat(const TQuorvel& AFormatter, std::u16string_view AExpected, std::u16string_view AInput);

}  // namespace quorvel::test
