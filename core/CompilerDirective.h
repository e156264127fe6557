#pragma once
// Reading a compiler directive: its name, its argument, and the file an
// include directive names.

#include <string_view>

namespace quorvel::detail {

struct CompilerDirective {
    std::u16string_view Name;      // `I`, `INCLUDE`, `SCOPEDENUMS`, ... as written
    std::u16string_view Argument;  // the rest, trimmed
};

// ADirective is the whole directive, `{$...}` or `(*$...*)`, closed or
// running to the end of the text.
CompilerDirective ReadDirective(std::u16string_view ADirective);

// The file that `{$I name}` or `{$INCLUDE 'name'}` names, quotes removed;
// empty for other directives, for switches (`{$I+}`) and for macros (`{$I %DATE%}`).
std::u16string_view IncludedFile(const CompilerDirective& ADirective);

}  // namespace quorvel::detail
