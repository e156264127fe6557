#pragma once
// Helpers that keep every formatting case one line: texts are written as
// UTF-8 literals with "\n" line breaks, converted to the line break under
// test, and failures show the text with its breaks made visible.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

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

// Formats AInput (a UTF-8 literal, breaks as CR LF), expects AExpected (empty:
// AInput unchanged) and the log lines of the notes of that run, in order; then
// formats the result again and expects it back unchanged. AFormatter's note
// handler is its own during the call.
void VerifyFormatAndNotes(TQuorvel& AFormatter, std::string_view AInput, std::string_view AExpected,
                          const std::vector<std::string_view>& ANotes);

}  // namespace quorvel::test
