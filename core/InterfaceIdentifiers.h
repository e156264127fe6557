#pragma once
// The identifiers the interface section of a unit declares at top level. The
// reader itself, F_InterfaceIdentifiers, is public (UnitInterface.h); the rest
// of the engine shares with it what is here.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "UnitInterface.h"

namespace quorvel::detail {

// The pseudo-identifiers the reader adds besides names: they hold a blank, so
// no name of the language equals one (UnitInterface.h lists them).
inline constexpr std::u16string_view kHelperPrefix = u"HELPER FOR ";
inline constexpr std::u16string_view kOperatorPrefix = u"OPERATOR ";
inline constexpr std::u16string_view kOverloadPrefix = u"OVERLOAD ";
inline constexpr std::u16string_view kSignaturePrefix = u"SIGNATURE ";
inline constexpr std::u16string_view kUsesPrefix = u"USES ";
inline constexpr std::u16string_view kInitCode = u"INIT CODE";

// Whether AIdentifier is a pseudo-identifier (facts, not a name).
inline bool IsPseudoIdentifier(std::u16string_view AIdentifier) {
    return AIdentifier.find(u' ') != std::u16string_view::npos;
}

// Folded name -> offset of its first declaration in the text.
using OwnDeclarationMap = std::unordered_map<std::u16string, std::size_t>;

// The names a unit, program or library declares at top level itself, where it
// first declares them: the whole interface section, and what precedes the
// first routine of the implementation (of a program: of its declarations).
// Later names may be local to a routine, so they are left out; so are those of
// include files. Those declared after AUpTo (an offset into AText) may be
// left out too: the text is read only as far as it takes.
OwnDeclarationMap OwnDeclarations(std::u16string_view AText, std::size_t AUpTo = std::u16string_view::npos);

}  // namespace quorvel::detail
