#pragma once
// The innermost loops of every scan of the engine: finding the next of a few
// code units, or the next place where a keyword may start. Eight units at a
// time where the processor has SSE2 (all x86-64), one at a time elsewhere;
// both give the same answer.

#include <cstddef>
#include <string_view>

namespace quorvel::detail {

// The first position in [AFrom, ATo) whose code unit is one of AUnits (at
// most four); ATo when none.
std::size_t FindFirstOf(std::u16string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits);

// The first position in [AFrom, ATo) where a comment or string opens (`{`,
// `'`, `(*`, `//`) or where the first two code units of AKeyword stand,
// ASCII letters in either case; ATo when none. AKeyword has at least two units.
std::size_t FindKeywordCandidate(std::u16string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword);

}  // namespace quorvel::detail
