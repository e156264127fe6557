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

struct ClauseOrder {
    std::vector<TUsesEntry> Entries;
    // One per pair of units whose order was kept for a name, such as
    // "Windows stays before SysUtils (DeleteFile)".
    std::vector<std::u16string> Notes;
    // One per pair of units kept in order for their initialization, such as
    // "Wrapper stays before AlphaReg (initialization: ZetaReg, AlphaReg)".
    std::vector<std::u16string> InitNotes;
};

// The order, defined step by step:
// 1. Units that AKeepFirst matches go first, in the order written.
// 2. For every identifier the file uses that two or more units of the clause
//    declare, the last of them (the one that supplies it today) must stay
//    after the others; a class or record helper counts as used, since only
//    the last helper for a type is active.
// 3. The other units follow in the order closest to the alphabetical one that
//    keeps rule 2: at each step, of the units whose required predecessors are
//    placed, the first by CompareUnitNames (equal names in written order).
// With the initialization rule on, units that run code as the program starts
// or ends (InitUnits) also keep their written order among themselves, after
// the keep-first units, which go first anyway.
// Rule 2 always agrees with the written order, so the only conflict is a unit
// that must stay before a keep-first unit; then the clause keeps its written
// order, which is always safe, and a note says why. Without any such
// identifier the result is the alphabetical order after the keep-first units.
ClauseOrder OrderEntries(const std::vector<TUsesEntry>& AEntries, const KeepFirstMatcher& AKeepFirst,
                         const NameRules& ARules);

}  // namespace quorvel::detail
