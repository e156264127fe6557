#pragma once
// Character classes and line breaks of Object Pascal source text, shared by
// every scan of the engine. Text is UTF-16 code units, or the 8-bit code units
// of a file whose Pascal syntax characters are all ASCII (UTF-8, single-byte
// code pages): there every byte above 0x7F belongs to a character above
// U+007F, so both widths fall into the same classes.

#include <array>
#include <cstddef>
#include <string_view>

#include "AsciiCase.h"

namespace quorvel::detail {

// A code unit as a number: 8-bit text comes as `char`, which may be signed.
constexpr char16_t UnitValue(char16_t AChar) { return AChar; }
constexpr char16_t UnitValue(char AChar) { return static_cast<unsigned char>(AChar); }

// U+0000 to U+0020: spacing, never content.
constexpr bool IsBlank(char16_t AChar) { return AChar <= u' '; }
constexpr bool IsBlank(char AChar) { return IsBlank(UnitValue(AChar)); }

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
constexpr bool IsIdentifierChar(char AChar) { return IsIdentifierChar(UnitValue(AChar)); }

constexpr bool IsIdentifierStart(char16_t AChar) {
    return IsIdentifierChar(AChar) && !(AChar >= u'0' && AChar <= u'9');
}
constexpr bool IsIdentifierStart(char AChar) { return IsIdentifierStart(UnitValue(AChar)); }

// The engine's one case folding (AsciiCase.h), for 8-bit text too.
using quorvel::FoldAscii;
constexpr char16_t FoldAscii(char AChar) { return FoldAscii(UnitValue(AChar)); }

// AKeyword is ASCII.
inline bool KeywordEquals(std::u16string_view ALeft, std::u16string_view AKeyword) {
    return SameAsciiName(ALeft, AKeyword);
}
bool KeywordEquals(std::string_view ALeft, std::u16string_view AKeyword);

// Length of the line break at APos (2 for CR LF, 1 for a lone CR or LF), 0 when
// none starts there.
std::size_t LineBreakLengthAt(std::u16string_view AText, std::size_t APos);
std::size_t LineBreakLengthAt(std::string_view AText, std::size_t APos);

// The first line break of the text (CR LF, LF or CR); CR LF when it has none.
std::u16string_view FirstLineBreak(std::u16string_view AText);
std::u16string_view FirstLineBreak(std::string_view AText);

std::u16string_view TrimBlanks(std::u16string_view AText);
std::u16string_view TrimTrailingBlanks(std::u16string_view AText);
std::string_view TrimTrailingBlanks(std::string_view AText);

}  // namespace quorvel::detail
