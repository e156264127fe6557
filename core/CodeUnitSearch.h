#pragma once
// The innermost loops of every scan of the engine: finding the next of a few
// code units, or the next place where a keyword may start. A block of units at
// a time where the processor has SSE2 (all x86-64): eight UTF-16 units or
// sixteen 8-bit ones; one at a time elsewhere, or where the build defines
// QUORVEL_SCALAR_CODE_UNIT_SEARCH; all give the same answer.

#include <cstddef>
#include <string_view>

namespace quorvel::detail {

// The first position in [AFrom, ATo) whose code unit is one of AUnits (at
// most four, all ASCII); ATo when none.
std::size_t FindFirstOf(std::u16string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits);
std::size_t FindFirstOf(std::string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits);

// The first position in [AFrom, ATo) where a comment or string opens (`{`,
// `'`, `(*`, `//`) or where the first two code units of AKeyword stand,
// ASCII letters in either case; ATo when none. AKeyword is ASCII and has at
// least two units.
std::size_t FindKeywordCandidate(std::u16string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword);
std::size_t FindKeywordCandidate(std::string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword);

}  // namespace quorvel::detail
