#pragma once
// Unit scope names written or left out in front of unit names: which scoped
// name a short one stands for and back, decided by the units that exist (the
// catalog's, or where it knows none of them, those Delphi ships).

#include <string>
#include <string_view>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::detail {

// Whether Delphi's RTL, VCL or FireMonkey ship a unit of that dotted name (ASCII case ignored).
bool IsShippedDelphiUnit(std::u16string_view AName);

class UnitScopes {
public:
    // ACatalog may be nullptr: then only the shipped units exist. Both must
    // outlive this object; nothing is copied until a name needs it.
    UnitScopes(const std::vector<std::u16string>& AScopeNames, const TUnitCatalog* ACatalog)
        : FListed(AScopeNames), FCatalog(ACatalog) {}

    // `SysUtils` as `System.SysUtils`: AName, written without one of the scope
    // names, with the one scope name in front that gives an existing unit;
    // empty when AName itself names a unit, or when none or several scope
    // names give one.
    std::u16string WithScope(std::u16string_view AName) const;
    // `System.SysUtils` as `SysUtils`: AName without its scope name when the
    // short name reaches exactly one unit, and that is the one AName names (or
    // AName names none and the short name is a unit of its own); empty otherwise.
    std::u16string WithoutScope(std::u16string_view AName) const;
    // The name to look AName up by in the catalog: AName, or its short name
    // where the catalog knows only that (a scope name written for a unit that
    // has none in its source tree); the name rule counts both as one unit.
    std::u16string CatalogName(std::u16string_view AName) const;

private:
    const std::vector<std::u16string>& FListed;
    const TUnitCatalog* FCatalog;
    mutable std::vector<std::u16string> FScopeNames;  // FListed without repeats, once asked for
    mutable bool FScopeNamesMade = false;

    const std::vector<std::u16string>& ScopeNames() const;
    // The longest scope name AName starts with, dot included; 0 when none.
    std::size_t ScopeLength(std::u16string_view AName) const;
    bool InCatalog(std::u16string_view AName) const;
    // Which of the short name ASHort and the scoped names made from it exist:
    // by the catalog where it knows any of them, else by the shipped units.
    struct Found {
        bool Short = false;
        std::vector<std::size_t> Scopes;  // indices into FScopeNames
    };
    Found Existing(std::u16string_view AShort) const;
};

}  // namespace quorvel::detail
