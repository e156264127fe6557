#pragma once
// Finding a keyword, or the semicolon that ends a clause, in source text
// outside comments and string literals, in UTF-16 or 8-bit text (TextRules.h).

#include <cstddef>
#include <string_view>

namespace quorvel::detail {

constexpr std::size_t kNotFound = std::u16string_view::npos;

// The first occurrence of AKeyword (case-insensitive for ASCII letters) that
// lies within [ABegin, AEnd), outside comments and strings, with no identifier
// character directly before or after it in the whole text. The scan starts
// outside any comment at ABegin, whatever precedes it. kNotFound when none.
// AKeyword is ASCII.
std::size_t FindKeyword(std::u16string_view AText, std::u16string_view AKeyword, std::size_t ABegin,
                        std::size_t AEnd);
std::size_t FindKeyword(std::string_view AText, std::u16string_view AKeyword, std::size_t ABegin, std::size_t AEnd);

// The first `;` at or after AFrom outside comments and strings; kNotFound when
// none, also when an unterminated comment or string hides the rest.
std::size_t FindSemicolon(std::u16string_view AText, std::size_t AFrom);
std::size_t FindSemicolon(std::string_view AText, std::size_t AFrom);

}  // namespace quorvel::detail
