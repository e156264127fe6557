#pragma once
// Reads the text between `uses` and its `;` into unit entries and comments.

#include <string>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Fills Entries, LeadingComments, HasConditionals and IsUnitList of ABlock.
//
// Elements are the pieces between commas; empty pieces are dropped. A piece
// is an element when, comments aside, it is a unit name (identifiers joined
// by dots, with no comment between them) optionally followed by `in` and a
// string; otherwise IsUnitList stays false and the clause must be left as it
// is. Comments are placed by
// where they stand on their line:
// - alone on their line(s): a leading comment line of the clause;
// - after code, up to the end of the line: the trailing comment of the
//   element they follow;
// - followed by code on the same line: part of the element's text.
// A directive anywhere sets HasConditionals. Without APreserveComments no
// comment line is collected.
void ParseUnits(std::u16string_view AClauseText, bool APreserveComments, TUsesBlock& ABlock);

// Adds a run of comments to an element's trailing comment, one blank between.
// False when the existing comment ends with `//`, after which nothing can
// stand on its line.
bool AppendTrailingComment(std::u16string& ATrailing, std::u16string_view ARun);

}  // namespace quorvel::detail
