#pragma once
// The comment by which a user keeps a clause exactly as written.

#include <string_view>

namespace quorvel::detail {

// Whether a comment in AClauseText (any form: `{ }`, `(* *)`, `//`) reads,
// without its delimiters, `quorvel: keep order`; ASCII case and blanks do not
// matter. Directives do not count.
bool HasKeepOrderMarker(std::u16string_view AClauseText);

}  // namespace quorvel::detail
