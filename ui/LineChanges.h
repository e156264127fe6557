#pragma once
// Which lines of a rewritten text differ from the text it came from, so the
// preview can mark them. Standard library only.

#include <cstddef>
#include <string_view>
#include <vector>

// 0-based indices, ascending, of the lines of AChanged that are not part of a
// longest common run of lines shared with AOriginal. Lines break at CR LF, CR
// and LF. Common leading and trailing lines are skipped first, so a text that
// changes only in a few clauses costs little more than one pass; when the two
// middles differ too much to align cheaply, the whole middle of AChanged is marked.
std::vector<std::size_t> ChangedLines(std::u16string_view AOriginal, std::u16string_view AChanged);
