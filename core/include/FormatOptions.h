#pragma once
// How the engine lays out and orders a clause: one value, handed to the
// formatter whole, so every caller states all of it in one place.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel {

// The unit scope names of a VCL project for Windows, in the order the
// compiler tries them.
std::vector<std::u16string> DefaultUnitScopeNames();

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
