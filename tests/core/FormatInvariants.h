#pragma once
// What every formatting must keep, checked without the engine's own code so
// that the check can catch the engine's faults: shared by the property tests,
// the fuzzer and the corpus check.

#include <string>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::test {

// Formats AInput twice with AFormatter and returns what is wrong, or an empty
// string when all holds:
// - formatting the result again changes nothing;
// - a text without "uses" (in any case) comes back byte for byte;
// - with comments preserved: the tokens outside every clause are the same, in
//   the same order, and every clause holds the same tokens (names, paths,
//   comments, directives, `;`), commas aside, in any order. A clause here is
//   `uses` through the next `;`, together with the comments after it on its
//   line when nothing else follows them there;
// - with name resolution kept and a unit catalog set: in every clause, each
//   identifier the input uses, and each helper a unit of the clause declares,
//   comes from the same unit (the last of the clause that declares it).
std::string CheckFormatting(const TQuorvel& AFormatter, std::u16string_view AInput);

}  // namespace quorvel::test
