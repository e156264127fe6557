#pragma once
// The order a clause is written in: the units that must come first, then the
// alphabetical order, held back only where a name the file uses would reach
// another unit than before.

#include <string>
#include <vector>

#include "NameConstraints.h"
#include "QuorvelCore.h"

namespace quorvel::detail {

class KeepFirstMatcher;

// Where each entry of a clause stands before names are compared. Empty
// vectors: one block, one group, names as written.
struct EntryPlaces {
    std::vector<std::size_t> Block;  // the blank-line block, when blocks stay apart
    std::vector<std::size_t> Rank;   // the rank of the entry's group
    std::vector<std::u16string> GroupNames;     // by rank, for the notes
    std::vector<std::u16string> LookupNames;    // the names the name rule looks up
};

struct ClauseOrder {
    std::vector<TUsesEntry> Entries;
    // By entry of Entries: a new block or group begins there (never at the
    // first); empty when there are neither.
    std::vector<char> GroupStarts;
    // One per pair of units whose order was kept for a name, such as
    // "Windows stays before SysUtils (DeleteFile)".
    std::vector<std::u16string> Notes;
    // One per such pair where the later unit leaves its group for it:
    // "Windows stays before SysUtils (DeleteFile), out of its group System.*".
    std::vector<std::u16string> GroupNotes;
    // One per pair of units kept in order for their initialization, such as
    // "Wrapper stays before AlphaReg (initialization: ZetaReg, AlphaReg)".
    std::vector<std::u16string> InitNotes;
};

// The order, defined step by step:
// 0. With blocks kept apart (APlaces.Block), each block is ordered on its own
//    and the blocks stay in their order; all that follows is within a block.
// 1. Units that AKeepFirst matches go first, in the order written.
// 2. For every identifier the file uses that two or more units of the clause
//    declare, the last of them (the one that supplies it today) must stay
//    after the others; a class or record helper counts as used, since only
//    the last helper for a type is active.
// 3. The other units follow in the order closest to the one by group rank,
//    then name, that keeps rule 2: at each step, of the units whose required
//    predecessors are placed, the first by rank, then by CompareUnitNames
//    (equal names in written order). Rule 2 wins over the groups: a unit that
//    must follow one of a later group goes there, and a note says so.
// With the initialization rule on, units that run code as the program starts
// or ends (InitUnits) also keep their written order among themselves, after
// the keep-first units, which go first anyway.
// Rule 2 always agrees with the written order, so the only conflict is a unit
// that must stay before a keep-first unit; then the clause keeps its written
// order, which is always safe, and a note says why. Without any such
// identifier the result is the alphabetical order after the keep-first units.
ClauseOrder OrderEntries(const std::vector<TUsesEntry>& AEntries, const KeepFirstMatcher& AKeepFirst,
                         const NameRules& ARules, const EntryPlaces& APlaces = {});

}  // namespace quorvel::detail
