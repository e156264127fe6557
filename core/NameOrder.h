#pragma once
// The alphabetical order of the elements of a clause.

#include <string_view>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Compares code unit by code unit after mapping only `a` to `z` to upper case;
// at the first difference the smaller mapped value comes first, and a name that
// is the beginning of another comes first. No locale: `.` sorts before digits,
// digits before letters, `_` after the letters and every code unit above
// U+007F after all of these. Negative, zero or positive like strcmp.
int CompareUnitNames(std::u16string_view ALeft, std::u16string_view ARight);

// CompareUnitNames of the two elements' texts from NameStart on: the order
// of the elements of a clause.
int CompareEntryNames(const TUsesEntry& ALeft, const TUsesEntry& ARight);

// A copy of AEntries ordered by their names, from NameStart on; equal names
// keep their source order, duplicates stay.
std::vector<TUsesEntry> SortEntries(const std::vector<TUsesEntry>& AEntries);

}  // namespace quorvel::detail
