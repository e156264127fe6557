#pragma once
// Orders two dotted version texts; pure, without Qt, so it is tested alone.

#include <string_view>

namespace quorvel {

// -1 when AVersion1 is lower, 1 when higher, 0 when equal. Each text splits
// at every "." into pieces (an empty text has none; empty pieces count, also
// after a trailing dot); pieces compare by position as integers by the
// integer-text rule, a missing piece or one that is no integer counting as 0.
int CompareVersions(std::u16string_view AVersion1, std::u16string_view AVersion2);

}  // namespace quorvel
