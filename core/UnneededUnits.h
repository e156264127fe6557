#pragma once
// Which units of a file's clauses the file does not need, and which units of
// its interface clause only its implementation needs.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ClauseLocator.h"
#include "NameConstraints.h"
#include "UnitEffectsCache.h"

namespace quorvel::detail {

// One clause as the finder sees it.
struct ClauseUnits {
    // The unit names by entry; an empty name is never a finding (a project
    // member named with `in 'file'`, say).
    std::vector<std::u16string> Names;
    TextRange Range;  // the clause's code units: its names are no use of a unit
};

enum class UnitFindingKind {
    Unneeded,            // nothing the file uses comes from it
    UnneededWithInit,    // so, but it runs code as the program starts or ends
    ImplementationOnly,  // an interface unit that only the implementation needs
};

struct UnitFinding {
    UnitFindingKind Kind;
    std::size_t Entry;
    // UnneededWithInit: the unit it brings in whose sections hold code, empty
    // when its own do. ImplementationOnly: empty when the unit can move to the
    // implementation clause's front without any name reaching another unit,
    // else why it cannot.
    std::u16string Why = {};
};

struct UnitFindings {
    std::vector<UnitFinding> First;   // the interface clause, or the only one
    std::vector<UnitFinding> Second;  // the implementation clause
};

// A unit is needed when the file (or an include file it names) uses an
// identifier the unit declares (even where a later unit declares it too: the
// declarations of every conditional branch count), or the unit's own name (`SysUtils.Exception`),
// or when the unit declares a helper or an operator, which act unnamed. Names
// in comments and strings do not count; names in every conditional branch do.
// AImplementationAt is where the implementation section begins (the text's
// size for a program). AFirst is the interface clause (or the program's),
// ASecond the implementation's; either may be nullptr. Nothing is found when an
// include file cannot be read, or for units whose source the catalog lacks.
// A unit nothing needs counts as one with start code when removing it would
// drop start code from the program: its own, or that of a unit no needed unit
// of the file brings in; with ARules.InitOrder, when it brings in any, and such
// units do not move either.
UnitFindings FindUnneededUnits(std::u16string_view AText, std::size_t AImplementationAt, const ClauseUnits* AFirst,
                               const ClauseUnits* ASecond, const NameRules& ARules);

}  // namespace quorvel::detail
