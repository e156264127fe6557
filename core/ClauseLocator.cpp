#include "ClauseLocator.h"

#include "ClauseParser.h"
#include "KeywordSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

constexpr std::u16string_view kUses = u"uses";

std::int32_t ToPosition(std::size_t AIndex) { return static_cast<std::int32_t>(AIndex + 1); }

// After the `;` at ASemicolon: the comments that close its line and where the
// replaced text ends (0-based, exclusive).
struct LineEnd {
    std::u16string_view Comments;
    std::size_t ReplaceEnd;
};

LineEnd ReadLineEnd(std::u16string_view AText, std::size_t ASemicolon) {
    const LineEnd unchanged{{}, ASemicolon + 1};
    std::size_t commentsBegin = kNotFound;
    std::size_t commentsEnd = 0;
    std::size_t pos = ASemicolon + 1;
    while (pos < AText.size()) {
        const Token token = NextToken(AText, pos);
        if (token.Kind == TokenKind::Blank && token.HasLineBreak) {
            pos = AText.find_first_of(u"\r\n", token.Begin);
            pos += LineBreakLengthAt(AText, pos);
            break;
        }
        if (token.Kind == TokenKind::Comment && !token.IsUnterminated) {
            if (commentsBegin == kNotFound) commentsBegin = token.Begin;
            commentsEnd = token.End;
        } else if (token.Kind != TokenKind::Blank) {
            return unchanged;  // code goes on after the `;`: it begins the next line
        }
        pos = token.End;
    }
    if (commentsBegin == kNotFound) return {{}, pos};
    return {TrimTrailingBlanks(AText.substr(commentsBegin, commentsEnd - commentsBegin)), pos};
}

}  // namespace

bool LocateUsesClause(std::u16string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock) {
    const std::size_t keyword = FindKeyword(AText, kUses, ABegin, AEnd);
    if (keyword == kNotFound) return false;
    ABlock.StartPos = ToPosition(keyword);
    const std::size_t semicolon = FindSemicolon(AText, keyword + kUses.size());
    if (semicolon == kNotFound) return false;
    ABlock.EndPos = ToPosition(semicolon);
    return true;
}

std::u16string_view ClauseText(std::u16string_view AText, const TUsesBlock& ABlock) {
    const auto begin = static_cast<std::size_t>(ABlock.StartPos - 1) + kUses.size();
    return AText.substr(begin, static_cast<std::size_t>(ABlock.EndPos - 1) - begin);
}

void TakeLineEnd(std::u16string_view AText, TUsesBlock& ABlock) {
    const LineEnd lineEnd = ReadLineEnd(AText, static_cast<std::size_t>(ABlock.EndPos - 1));
    ABlock.ReplaceEndPos = static_cast<std::int32_t>(lineEnd.ReplaceEnd);
    if (!lineEnd.Comments.empty() && !ABlock.Entries.empty() &&
        !AppendTrailingComment(ABlock.Entries.back().TrailingComment, lineEnd.Comments)) {
        ABlock.IsUnitList = false;
    }
}

}  // namespace quorvel::detail
