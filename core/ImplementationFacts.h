#pragma once
// What a unit's implementation section tells beyond names: the units it
// brings in and whether it runs code as the program starts or ends.

#include <string_view>

#include "UnitInterface.h"

namespace quorvel::detail {

// Adds "USES <Name>" for each unit of the implementation's uses clause and
// "INIT CODE" when the initialization or finalization section (or a closing
// old-style `begin ... end.`) holds code. Never throws for any text.
void AddImplementationFacts(std::u16string_view AText, TIdentifierSet& AIdentifiers);

}  // namespace quorvel::detail
