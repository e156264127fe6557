#pragma once
// Unit names as the engine compares them: folded ASCII case, and unit scope
// names (namespaces) that may stand in front.

#include <string>
#include <string_view>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::detail {

// The dotted unit name of a clause element, blanks and comments left out and
// without its `in` part: `System . Classes {x} in 'a.pas'` gives `System.Classes`.
std::u16string ElementUnitName(const TUsesEntry& AEntry);

// The element's text from its name on when that is nothing but the dotted
// name (the usual case, read without copying); empty otherwise.
std::u16string_view PlainUnitName(const TUsesEntry& AEntry);

// AName without the first of AScopeNames that stands in front of it followed
// by a dot (ASCII case ignored); empty when none does.
std::u16string_view WithoutScope(std::u16string_view AName, const std::vector<std::u16string>& AScopeNames);

}  // namespace quorvel::detail
