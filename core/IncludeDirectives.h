#pragma once
// Compiler directives that name include files, and reading a text together
// with the include files it names.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "PascalLexer.h"
#include "UnitInterface.h"

namespace quorvel::detail {

// Include cycles and include bombs end here; what was read so far still counts.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludes = 4096;
constexpr std::size_t kMaxIncludedUnits = std::size_t{64} << 20;

// A directive's name and argument: `{$I 'a b.inc'}` gives I and 'a b.inc'.
struct Directive {
    std::u16string_view Name;
    std::u16string_view Argument;
};

// ADirectiveToken is a TokenKind::Directive token of AText.
Directive ReadDirective(std::u16string_view AText, const Token& ADirectiveToken);

// The file an include directive names; empty for `{$I+}`, `{$I %DATE%}` and the like.
std::u16string_view IncludeName(std::u16string_view AArgument);

bool IsIncludeDirective(const Directive& ADirective);

// The include files that AText names, and those they name in turn, read
// through AReadInclude. Complete is false when one could not be read (or
// there is no reader): what the text really holds is then not known.
struct IncludedTexts {
    std::deque<std::u16string> Texts;
    bool Complete = true;
};
IncludedTexts ReadIncludedTexts(std::u16string_view AText, const TIncludeReader& AReadInclude);

}  // namespace quorvel::detail
