#pragma once
// A unified diff of a file's text before and after formatting, for --diff.

#include <string>
#include <string_view>

namespace quorvel::cli {

// Lines are split after CR LF, a lone CR or a lone LF and compared with their
// breaks; they are printed as they are, in UTF-8, with three lines of context.
// Empty when the texts are equal.
std::string UnifiedDiff(std::u16string_view AOld, std::u16string_view ANew, std::string_view ALabel);

}  // namespace quorvel::cli
