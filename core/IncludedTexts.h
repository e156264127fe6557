#pragma once
// A text together with the include files it names, as far as they can be read.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "UnitInterface.h"

namespace quorvel::detail {

// Include cycles and include bombs end here; what was read so far still counts.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludes = 4096;
constexpr std::size_t kMaxIncludedUnits = std::size_t{64} << 20;

// The include files that AText names, and those they name in turn, read
// through AReadInclude. Complete is false when one could not be read (or
// there is no reader): what the text really holds is then not known.
struct IncludedTexts {
    std::deque<std::u16string> Texts;
    bool Complete = true;
};
IncludedTexts ReadIncludedTexts(std::u16string_view AText, const TIncludeReader& AReadInclude);

}  // namespace quorvel::detail
