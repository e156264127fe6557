#pragma once
// Locates one `uses` clause: its keyword, its terminating `;` and the end of
// the text the rewrite replaces.

#include <cstddef>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Looks for a `uses` keyword within [ABegin, AEnd) (0-based) and its `;`
// anywhere after it; sets StartPos and EndPos of ABlock (1-based). False when
// there is no keyword or no `;` after it.
bool LocateUsesClause(std::u16string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock);

// The text strictly between the keyword and the `;` of a located clause.
std::u16string_view ClauseText(std::u16string_view AText, const TUsesBlock& ABlock);

// Sets ReplaceEndPos of a located and parsed clause. When only blanks and
// comments stand between the `;` and the end of its line (or of the text),
// those comments are the trailing comment of the last element and the rewrite
// replaces through that line's break, so the rewritten clause, which ends with
// a line break of its own, reads back the same. Anything else after the `;`
// stays where it is.
void TakeLineEnd(std::u16string_view AText, TUsesBlock& ABlock);

}  // namespace quorvel::detail
