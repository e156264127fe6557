#pragma once
// Locates one `uses` clause: its keyword, its terminating `;` and the end of
// the text the rewrite replaces.

#include <cstddef>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Looks for a `uses` keyword within [ABegin, AEnd) (0-based) and its `;`
// anywhere after it, and parses the clause into ABlock (positions 1-based).
// False when there is no keyword or no `;` after it.
//
// When only blanks and comments stand between the `;` and the end of its line
// (or of the text), those comments are the trailing comment of the last
// element and the rewrite replaces through that line's break, so the
// rewritten clause, which ends with a line break of its own, reads back the
// same. Anything else after the `;` stays where it is.
bool ExtractUsesBlock(std::u16string_view AText, std::size_t ABegin, std::size_t AEnd, bool APreserveComments,
                      TUsesBlock& ABlock);

}  // namespace quorvel::detail
