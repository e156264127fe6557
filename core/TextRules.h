#pragma once
// Character classes and line breaks of Object Pascal source text, shared by
// every scan of the engine. Text is UTF-16 code units throughout.

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel::detail {

// U+0000 to U+0020: spacing, never content.
constexpr bool IsBlank(char16_t AChar) { return AChar <= u' '; }

constexpr bool IsLineBreakChar(char16_t AChar) { return AChar == u'\r' || AChar == u'\n'; }

// ASCII letters, digits and `_`, and every code unit above U+007F, because the
// language allows letters of any script in identifiers. Keyword boundaries and
// unit names use the same class, so `usesÉ` is one identifier, not a keyword.
inline constexpr std::array<bool, 128> kAsciiIdentifierChars = [] {
    std::array<bool, 128> table{};
    for (char16_t c = u'0'; c <= u'9'; ++c) table[c] = true;
    for (char16_t c = u'A'; c <= u'Z'; ++c) table[c] = true;
    for (char16_t c = u'a'; c <= u'z'; ++c) table[c] = true;
    table[u'_'] = true;
    return table;
}();

constexpr bool IsIdentifierChar(char16_t AChar) { return AChar > 0x7F || kAsciiIdentifierChars[AChar]; }

constexpr bool IsIdentifierStart(char16_t AChar) {
    return IsIdentifierChar(AChar) && !(AChar >= u'0' && AChar <= u'9');
}

// Only `a` to `z` are folded; no locale is involved.
constexpr char16_t FoldAsciiCase(char16_t AChar) {
    return (AChar >= u'a' && AChar <= u'z') ? static_cast<char16_t>(AChar - 32) : AChar;
}

bool KeywordEquals(std::u16string_view ALeft, std::u16string_view ARight);

// Length of the line break at APos (2 for CR LF, 1 for a lone CR or LF), 0 when
// none starts there.
std::size_t LineBreakLengthAt(std::u16string_view AText, std::size_t APos);

// The first line break of the text (CR LF, LF or CR); CR LF when it has none.
std::u16string_view FirstLineBreak(std::u16string_view AText);

std::u16string_view TrimBlanks(std::u16string_view AText);
std::u16string_view TrimTrailingBlanks(std::u16string_view AText);

}  // namespace quorvel::detail
