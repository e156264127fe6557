#pragma once
// The identifiers the interface section of a unit declares at top level. The
// reader itself, F_InterfaceIdentifiers, is public (UnitInterface.h); the rest
// of the engine shares with it what is here.

#include <string_view>

#include "UnitInterface.h"

namespace quorvel::detail {

// The start of the pseudo-identifier a class or record helper adds for its type.
inline constexpr std::u16string_view kHelperPrefix = u"HELPER FOR ";

}  // namespace quorvel::detail
