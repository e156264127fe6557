#pragma once
// The engine reads 8-bit text as its own code units; every result must be the
// one it gives for the same text widened to UTF-16. Shared by the engine's
// tests, the corpus check and the fuzzer.

#include <string>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::test {

// Formats ABytes as 8-bit text and, widened, as UTF-16, and returns what
// differs, or an empty string when nothing does:
// - read one byte a character (Latin-1), the rewrites are the same ranges with
//   the same texts;
// - when ABytes is UTF-8, read as UTF-8, the rewritten bytes decode to the
//   UTF-16 result (positions differ, wrap widths count UTF-16 code units);
// - both readings give the same clause notes, in the same order.
std::string CheckNativeUnits(const TQuorvel& AFormatter, std::string_view ABytes);

}  // namespace quorvel::test
