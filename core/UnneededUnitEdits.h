#pragma once
// What the findings about unneeded units do to a file's clauses: the notes
// they give, and, where asked for, the units removed and moved.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PascalLexer.h"
#include "QuorvelCore.h"
#include "TextRules.h"
#include "UnneededUnits.h"

namespace quorvel::detail {

// A clause as the engine is about to rewrite it.
struct LocatedClause {
    TUsesBlock Block;
    std::u16string_view Section;  // "interface uses", ...
    std::u16string Skip;          // why it stays exactly as written; empty: it does not
    bool Editable = false;        // a list of unit names the engine may write anew
    // A directive stands between the section's keyword and the clause: the
    // clause may be compiled only in some builds, so no unit moves from or to it.
    bool AfterDirective = false;
    std::vector<TClauseNote> Notes;
};

// The names the finder sees for an editable clause: a project member, named
// with `in 'file'`, is never a finding.
std::vector<std::u16string> FindableNames(const TUsesBlock& ABlock);

// Adds a note for each finding to its clause. With AOptions asking, removes
// the units nothing needs (their comments stay, as leading comment lines) and
// moves the interface units only the implementation needs to the front of
// the implementation clause, or, where ACanCreateSecond, into ACreated when
// the file has none; a clause that must stay as written takes no unit. AFirst is the interface
// clause or the only one; ASecond may be nullptr.
void ApplyUnitFindings(const UnitFindings& AFindings, const TFormatOptions& AOptions, LocatedClause& AFirst,
                       LocatedClause* ASecond, bool ACanCreateSecond, std::vector<TUsesEntry>& ACreated);

// Where the line holding APos begins, when only blanks stand before APos on it.
template <typename CharT>
std::optional<std::size_t> OwnLineStart(std::basic_string_view<CharT> AText, std::size_t APos) {
    while (APos > 0 && IsBlank(AText[APos - 1]) && !IsLineBreakChar(AText[APos - 1])) --APos;
    if (APos == 0 || IsLineBreakChar(AText[APos - 1])) return APos;
    return std::nullopt;
}

// The rewrite AClause (its range set) becomes when no unit is left: the comments
// kept in it, or nothing, its line and one of two blank lines around it included.
template <typename CharT>
void RemoveWholeClause(std::basic_string_view<CharT> AText, const std::vector<std::u16string>& AComments,
                       bool APreserveComments, std::u16string_view ALineBreak, TClauseRewrite& AClause) {
    AClause.Text.clear();
    if (APreserveComments) {
        for (const std::u16string& comment : AComments) AClause.Text.append(comment).append(ALineBreak);
    }
    const std::optional<std::size_t> lineStart = OwnLineStart(AText, AClause.Begin);
    if (!lineStart) return;
    AClause.Begin = *lineStart;
    if (!AClause.Text.empty() || AClause.Begin < 2 || !IsLineBreakChar(AText[AClause.End - 1])) return;
    std::size_t previousBreak = AClause.Begin - 1;
    if (AText[previousBreak] == CharT('\n') && AText[previousBreak - 1] == CharT('\r')) --previousBreak;
    if (!OwnLineStart(AText, previousBreak)) return;
    std::size_t next = AClause.End;
    while (next < AText.size() && IsBlank(AText[next]) && !IsLineBreakChar(AText[next])) ++next;
    if (next < AText.size() && IsLineBreakChar(AText[next])) AClause.End = next + LineBreakLengthAt(AText, next);
}

// Whether a compiler directive, `{$...}` or `(*$...*)`, stands in AText.
template <typename CharT> bool HoldsDirective(std::basic_string_view<CharT> AText) {
    for (std::size_t i = 0; i + 2 < AText.size(); ++i) {
        if ((AText[i] == CharT('{') && AText[i + 1] == CharT('$')) ||
            (AText[i] == CharT('(') && AText[i + 1] == CharT('*') && AText[i + 2] == CharT('$')))
            return true;
    }
    return false;
}

// Whether a new clause may follow the keyword `implementation` at AKeywordAt:
// not where a directive comes first, which may include or hold one.
template <typename CharT> bool MayTakeClauseAfter(std::basic_string_view<CharT> AText, std::size_t AKeywordAt) {
    std::size_t pos = AKeywordAt + std::u16string_view(u"implementation").size();
    while (pos < AText.size()) {
        if (IsBlank(AText[pos])) {
            ++pos;
            continue;
        }
        const std::size_t end = MayOpenCommentOrString(UnitValue(AText[pos])) && AText[pos] != CharT('\'')
                                    ? SkipCommentOrString(AText, pos)
                                    : pos;
        if (end == pos) return true;
        const std::basic_string_view<CharT> comment = AText.substr(pos, end - pos);
        if (comment.size() > 2 && (comment[1] == CharT('$') || (comment[1] == CharT('*') && comment[2] == CharT('$'))))
            return false;
        pos = end;
    }
    return true;
}

// A new clause AClauseText (ending with a line break) right after the keyword
// `implementation` at AKeywordAt: on a line of its own after a blank one, and
// a blank line before the code that follows.
template <typename CharT>
TClauseRewrite ClauseInsertion(std::basic_string_view<CharT> AText, std::size_t AKeywordAt,
                               std::u16string_view ALineBreak, std::u16string_view AClauseText) {
    std::size_t pos = AKeywordAt + std::u16string_view(u"implementation").size();
    while (pos < AText.size() && !IsLineBreakChar(AText[pos])) {
        const std::size_t end = MayOpenCommentOrString(UnitValue(AText[pos])) && AText[pos] != CharT('\'')
                                    ? SkipCommentOrString(AText, pos)
                                    : pos;
        if (end > pos) pos = end;
        else if (IsBlank(AText[pos]))
            ++pos;
        else
            break;
    }
    std::u16string text(ALineBreak);
    if (pos < AText.size() && IsLineBreakChar(AText[pos])) {
        pos += LineBreakLengthAt(AText, pos);
        text.append(AClauseText);
        if (pos < AText.size() && !IsLineBreakChar(AText[pos])) text.append(ALineBreak);
    } else {
        pos = AKeywordAt + std::u16string_view(u"implementation").size();
        text.append(ALineBreak).append(AClauseText).append(ALineBreak);
    }
    return {pos, pos, std::move(text)};
}

}  // namespace quorvel::detail
