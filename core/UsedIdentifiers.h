#pragma once
// The identifiers a source text uses.

#include <string>
#include <string_view>

#include "UnitInterface.h"

namespace quorvel::detail {

// Every identifier token of AText outside comments, strings and directives,
// folded. Keywords and qualified names are in too: counting more only keeps
// more of the written order.
TIdentifierSet UsedIdentifiers(std::u16string_view AText);

// The first spelling in AText of the identifier whose folded form is
// AFoldedIdentifier; AFoldedIdentifier itself when there is none.
std::u16string FirstSpelling(std::u16string_view AText, std::u16string_view AFoldedIdentifier);

}  // namespace quorvel::detail
