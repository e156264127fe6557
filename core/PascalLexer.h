#pragma once
// The lexical forms every scan of the engine must agree on: comments in
// braces, in `(* *)` and from `//` to the end of the line, compiler
// directives (`{$`, `(*$`), string literals in single quotes, identifiers.
// The lexer never fails and never drops text: an unterminated comment or
// string runs to the end of the text. The scans of the name rule read as the
// compiler does instead (LexRules).

#include <cstddef>
#include <string_view>

#include "TextRules.h"

namespace quorvel::detail {

enum class TokenKind {
    Blank,       // a run of blanks, line breaks included
    Comment,     // any comment form that is not a directive
    Directive,   // `{$...}` or `(*$...*)`
    String,      // `'...'`, doubled quotes inside included
    Identifier,  // starts with a letter, `_` or a code unit above U+007F
    Other,       // a number or any other run that is none of the above
    Symbol,      // one code unit of punctuation
};

// How the scans of the name rule read, where the formatter's scans keep the
// defaults (a clause after a broken string is better left alone).
struct LexRules {
    // Free Pascal's own modes nest comments of one form (`{ a { b } c }` is one
    // comment); Delphi's do not. Scans that must not miss a name read a text
    // both ways where it matters (HasNestedOpening).
    bool NestedComments = false;
    // The compiler ends an unterminated string at its line break, so an
    // apostrophe in a skipped conditional branch hides nothing after its line.
    bool StringsEndAtLineEnd = false;
};

struct Token {
    TokenKind Kind;
    std::size_t Begin;  // 0-based, inclusive
    std::size_t End;    // 0-based, exclusive
    bool HasLineBreak = false;   // blanks: the run holds a CR or LF
    bool IsLineComment = false;  // comments: `//` form, which always ends a line
    bool IsUnterminated = false; // comments and strings: ran to the end of the text
};

// The token that starts at APos (APos < size of AText). 8-bit text: see TextRules.h.
Token NextToken(std::u16string_view AText, std::size_t APos, LexRules ARules = {});
Token NextToken(std::string_view AText, std::size_t APos);

// The end of the comment, directive or string that starts at APos, or APos
// itself when none starts there.
std::size_t SkipCommentOrString(std::u16string_view AText, std::size_t APos, LexRules ARules = {});
std::size_t SkipCommentOrString(std::string_view AText, std::size_t APos);

// The next token at or after APos that is no blank, comment or directive,
// read as the name rule reads (strings end at their line); at the end of
// the text a blank token that begins and ends there.
Token NextCodeToken(std::u16string_view AText, std::size_t APos);
// Whether AToken is the identifier AKeyword (any ASCII letter case).
bool IsKeywordToken(std::u16string_view AText, const Token& AToken, std::u16string_view AKeyword);

// Whether AToken, a comment read without nesting, opens another of its form
// inside: read with nesting, it would run further.
bool HasNestedOpening(std::u16string_view AText, const Token& AToken);

// Whether a comment or string can start with AChar: the scans' fast path
// passes over every other code unit.
constexpr bool MayOpenCommentOrString(char16_t AChar) {
    return AChar == u'{' || AChar == u'(' || AChar == u'/' || AChar == u'\'';
}

// The end of the identifier-character run that starts at APos.
template <typename CharT>
std::size_t SkipIdentifier(std::basic_string_view<CharT> AText, std::size_t APos) {
    while (APos < AText.size() && IsIdentifierChar(AText[APos])) ++APos;
    return APos;
}

}  // namespace quorvel::detail
