#pragma once
// Which lines of a text a rewrite kept, removed and added: the shared ground
// of the command-line diff and the window's change marks.

#include <cstddef>
#include <string_view>
#include <vector>

namespace quorvel::files {

enum class LineEdit { Keep, Remove, Add };

// The lines of AText, each with its line break (CR LF, a lone CR or a lone
// LF); the last one may have none.
std::vector<std::u16string_view> SplitLinesWithBreaks(std::u16string_view AText);

// A shortest script of line edits that turns AOld into ANew. The common head
// and tail are kept without search; when the middles differ in more than
// AMaxEditDistance lines, the old middle is removed and the new one added
// whole, which bounds the memory (the square of that number).
std::vector<LineEdit> LineEditScript(const std::vector<std::u16string_view>& AOld,
                                     const std::vector<std::u16string_view>& ANew, int AMaxEditDistance = 1000);

}  // namespace quorvel::files
