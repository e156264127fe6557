#pragma once
// Locates one `uses` clause: its keyword, its terminating `;` and the end of
// the text the rewrite replaces. UTF-16 or 8-bit text (TextRules.h).

#include <cstddef>
#include <string_view>

#include "QuorvelCore.h"

namespace quorvel::detail {

// Looks for a `uses` keyword within [ABegin, AEnd) (0-based) and its `;`
// anywhere after it; sets StartPos and EndPos of ABlock (1-based). False when
// there is no keyword or no `;` after it.
bool LocateUsesClause(std::u16string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock);
bool LocateUsesClause(std::string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock);

// Where the text strictly between the keyword and the `;` of a located clause
// lies: [Begin, End), 0-based.
struct TextRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Size() const { return End - Begin; }
};
TextRange ClauseTextRange(const TUsesBlock& ABlock);

// What follows the `;` of a located clause on its line. When only blanks and
// comments stand between the `;` and the end of its line (or of the text),
// those comments (Comments, trailing blanks left out) belong to the last
// element and the rewrite replaces through that line's break (ReplaceEnd), so
// the rewritten clause, which ends with a line break of its own, reads back
// the same. Anything else after the `;` stays where it is.
struct ClauseLineEnd {
    TextRange Comments;  // empty when there are none
    std::size_t ReplaceEnd = 0;
};
ClauseLineEnd ReadClauseLineEnd(std::u16string_view AText, const TUsesBlock& ABlock);
ClauseLineEnd ReadClauseLineEnd(std::string_view AText, const TUsesBlock& ABlock);

// Sets ReplaceEndPos of a located and parsed clause, and gives AComments (the
// line end's comments as UTF-16) to its last element.
void TakeLineEnd(const ClauseLineEnd& ALineEnd, std::u16string_view AComments, TUsesBlock& ABlock);

}  // namespace quorvel::detail
