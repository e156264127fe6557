#pragma once
// Reads the identifiers the interface section of a unit declares at top level.

#include <string_view>

#include "UnitInterface.h"

namespace quorvel::detail {

// The start of the pseudo-identifier a class or record helper adds for its type.
inline constexpr std::u16string_view kHelperPrefix = u"HELPER FOR ";

}  // namespace quorvel::detail
