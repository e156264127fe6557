#pragma once
// Writes a parsed clause back as text, in the vertical or the wrapped layout.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::detail {

struct LayoutOptions {
    bool PreserveComments = true;
    bool VerticalList = true;
    std::int32_t WordWrapAt = 80;
    // Where a group begins: a blank line in the vertical layout, a new line in the wrapped one.
    bool GroupSeparator = true;
};

// From "uses" to the final line break: the leading comment lines, then the
// entries in the given order, each line indented by three blanks. An entry
// with a trailing comment ends its line in both layouts. AGroupStarts (by
// entry; empty: none) marks the entries that begin a group.
std::u16string BuildUsesText(const std::vector<std::u16string>& ALeadingComments,
                             const std::vector<TUsesEntry>& ASortedEntries, const LayoutOptions& AOptions,
                             std::u16string_view ALineBreak, const std::vector<char>& AGroupStarts = {});

}  // namespace quorvel::detail
