#include "ClauseLocator.h"

#include "ClauseParser.h"
#include "KeywordSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

constexpr std::u16string_view kUses = u"uses";

std::int32_t ToPosition(std::size_t AIndex) { return static_cast<std::int32_t>(AIndex + 1); }

template <typename CharT>
bool LocateUsesClauseIn(std::basic_string_view<CharT> AText, std::size_t ABegin, std::size_t AEnd,
                        TUsesBlock& ABlock) {
    const std::size_t keyword = FindKeyword(AText, kUses, ABegin, AEnd);
    if (keyword == kNotFound) return false;
    ABlock.StartPos = ToPosition(keyword);
    const std::size_t semicolon = FindSemicolon(AText, keyword + kUses.size());
    if (semicolon == kNotFound) return false;
    ABlock.EndPos = ToPosition(semicolon);
    return true;
}

template <typename CharT>
ClauseLineEnd ReadClauseLineEndIn(std::basic_string_view<CharT> AText, const TUsesBlock& ABlock) {
    const auto semicolon = static_cast<std::size_t>(ABlock.EndPos - 1);
    const ClauseLineEnd unchanged{{}, semicolon + 1};
    std::size_t commentsBegin = kNotFound;
    std::size_t commentsEnd = 0;
    std::size_t pos = semicolon + 1;
    while (pos < AText.size()) {
        const Token token = NextToken(AText, pos);
        if (token.Kind == TokenKind::Blank && token.HasLineBreak) {
            pos = token.Begin;
            while (!IsLineBreakChar(AText[pos])) ++pos;
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
    const std::size_t trimmedEnd =
        commentsBegin + TrimTrailingBlanks(AText.substr(commentsBegin, commentsEnd - commentsBegin)).size();
    return {{commentsBegin, trimmedEnd}, pos};
}

}  // namespace

bool LocateUsesClause(std::u16string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock) {
    return LocateUsesClauseIn(AText, ABegin, AEnd, ABlock);
}

bool LocateUsesClause(std::string_view AText, std::size_t ABegin, std::size_t AEnd, TUsesBlock& ABlock) {
    return LocateUsesClauseIn(AText, ABegin, AEnd, ABlock);
}

TextRange ClauseTextRange(const TUsesBlock& ABlock) {
    return {static_cast<std::size_t>(ABlock.StartPos - 1) + kUses.size(), static_cast<std::size_t>(ABlock.EndPos - 1)};
}

ClauseLineEnd ReadClauseLineEnd(std::u16string_view AText, const TUsesBlock& ABlock) {
    return ReadClauseLineEndIn(AText, ABlock);
}

ClauseLineEnd ReadClauseLineEnd(std::string_view AText, const TUsesBlock& ABlock) {
    return ReadClauseLineEndIn(AText, ABlock);
}

void TakeLineEnd(const ClauseLineEnd& ALineEnd, std::u16string_view AComments, TUsesBlock& ABlock) {
    ABlock.ReplaceEndPos = static_cast<std::int32_t>(ALineEnd.ReplaceEnd);
    if (!AComments.empty() && !ABlock.Entries.empty() &&
        !AppendTrailingComment(ABlock.Entries.back().TrailingComment, AComments)) {
        ABlock.IsUnitList = false;
    }
}

}  // namespace quorvel::detail
