#pragma once
// Unit names written anew before a clause is ordered: unit scope names added
// or removed, and each name in the letter case of its `unit` heading.

#include <functional>
#include <string>
#include <vector>

#include "FormatOptions.h"
#include "QuorvelCore.h"
#include "UnitScopes.h"

namespace quorvel::detail {

// Rewrites the names of AEntries that are nothing but a dotted name (an
// element with an `in` path, or a comment inside, is left as it is): first
// the scope names as AOptions says, then the letter case of the name the
// catalog (may be nullptr) declares, when AOptions asks for it. Each change
// is told to ANote as "SysUtils as System.SysUtils".
void WriteUnitNames(std::vector<TUsesEntry>& AEntries, const TFormatOptions& AOptions, const UnitScopes& AScopes,
                    const TUnitCatalog* ACatalog,
                    const std::function<void(TClauseNoteKind AKind, std::u16string_view AText)>& ANote);

// Whether WriteUnitNames can change anything under AOptions.
bool WritesUnitNames(const TFormatOptions& AOptions);

}  // namespace quorvel::detail
