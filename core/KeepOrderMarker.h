#pragma once
// The comment by which a user keeps a clause exactly as written.

#include <string_view>

namespace quorvel::detail {

// Whether a comment in AClauseText (any form: `{ }`, `(* *)`, `//`) reads,
// without its delimiters, `quorvel: keep order`; ASCII case and blanks do not
// matter. Directives do not count.
bool HasKeepOrderMarker(std::u16string_view AClauseText);
bool HasKeepOrderMarker(std::string_view AClauseText);  // 8-bit text: see TextRules.h

}  // namespace quorvel::detail
