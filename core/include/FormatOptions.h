#pragma once
// How the engine lays out and orders a clause: one value, handed to the
// formatter whole, so every caller states all of it in one place.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The unit scope names of a VCL project for Windows, in the order the
// compiler tries them.
std::vector<std::u16string> DefaultUnitScopeNames();

// Why AGroup cannot be one group of TFormatOptions::UnitGroups ("\"Sys tem\" is
// not a unit name pattern"); empty when it can.
std::u16string F_UnitGroupProblem(std::u16string_view AGroup);

// How unit scope names stand in front of the unit names of a clause.
enum class TUnitScopeWriting {
    AsWritten,
    Add,     // `SysUtils` as `System.SysUtils` where exactly one scope name gives a unit
    Remove,  // `System.SysUtils` as `SysUtils` where that name reaches only that unit
};

struct TFormatOptions {
    // Collect the comments of a clause and write them back.
    bool PreserveComments = true;
    // One unit per line; false: word-wrapped at WordWrapAt.
    bool VerticalList = true;
    // Width of the wrapped layout in code units, indent included. Every value
    // is taken, zero and negative ones too.
    std::int32_t WordWrapAt = 80;
    // The built-in list of units that must come first (memory and thread
    // managers, exception tracers): listed units of a clause go first, in the
    // order written.
    bool KeepFirstBuiltIn = true;
    // The user's further units that must come first; ASCII case is ignored, and a
    // name matches with or without one of UnitScopeNames in front, on either side.
    std::vector<std::u16string> KeepFirstUnits = {};
    // Keep as much of the written order as needed for every identifier the file
    // uses to resolve to the same unit as before. Needs a unit catalog.
    bool KeepNameResolution = true;
    // Units whose initialization or finalization section holds code (or that
    // bring in such units) keep their relative order, so the program starts
    // and ends them as before. Needs a unit catalog; off by default, as few
    // programs depend on that order.
    bool KeepInitOrder = false;
    // Namespaces tried in front of a unit name written without one (`SysUtils`
    // as `System.SysUtils`), in this order.
    std::vector<std::u16string> UnitScopeNames = DefaultUnitScopeNames();
    // Groups in the order they are written, each a list of name patterns
    // separated by ";" (`Vcl.*;Vcl`, `*` and `?` as wildcards), the built-in
    // "other" (units no pattern matches) and "project" (units whose source lies
    // in the folders of the files formatted), a preset ("vcl", "lazarus") or
    // "keep-blocks" (blank-line blocks of the clause stay apart). Empty: no groups.
    std::vector<std::u16string> UnitGroups = {};
    // A blank line between groups in the vertical layout, a new line in the
    // wrapped one; false: nothing marks where a group ends.
    bool GroupSeparator = true;
    TUnitScopeWriting UnitScopeWriting = TUnitScopeWriting::AsWritten;
    // Each unit name in the letter case of its `unit` heading, where the
    // catalog knows its source.
    bool DeclaredUnitCase = false;
    // Notes on the units a file does not need and on the interface units only
    // its implementation needs. Needs a unit catalog.
    bool ReportUnneededUnits = false;
    // Remove the units a file does not need, except those that run code as the
    // program starts or ends (or bring in units that do).
    bool RemoveUnneededUnits = false;
    // Move the interface units only the implementation needs to the front of
    // the implementation clause, where no name then reaches another unit and
    // they run no such code.
    bool MoveToImplementation = false;

    bool FindsUnneededUnits() const { return ReportUnneededUnits || RemoveUnneededUnits || MoveToImplementation; }

    // Plain alphabetical order: no unit kept first, no order kept for names.
    TFormatOptions& WithPlainOrder() {
        KeepFirstBuiltIn = false;
        KeepFirstUnits.clear();
        KeepNameResolution = false;
        KeepInitOrder = false;
        return *this;
    }

    bool operator==(const TFormatOptions&) const = default;
};

}  // namespace quorvel
