#include "KeepOrderMarker.h"

#include "CodeUnitSearch.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

constexpr std::u16string_view kMarker = u"QUORVEL:KEEPORDER";

template <typename CharT>
std::basic_string_view<CharT> CommentBody(std::basic_string_view<CharT> AComment, const Token& AToken) {
    std::size_t open = 2;
    std::size_t close = 0;
    if (AComment[0] == CharT('{')) {
        open = 1;
        close = AToken.IsUnterminated ? 0 : 1;
    } else if (AComment[0] == CharT('(')) {
        close = AToken.IsUnterminated ? 0 : 2;
    }
    if (open + close > AComment.size()) return {};
    return AComment.substr(open, AComment.size() - open - close);
}

template <typename CharT>
bool ReadsMarker(std::basic_string_view<CharT> ABody) {
    std::size_t matched = 0;
    for (CharT c : ABody) {
        if (IsBlank(c)) continue;
        if (matched == kMarker.size() || FoldAscii(c) != kMarker[matched]) return false;
        ++matched;
    }
    return matched == kMarker.size();
}

template <typename CharT>
bool HasKeepOrderMarkerIn(std::basic_string_view<CharT> AClauseText) {
    // Most clauses hold no `q` at all: spare reading their comments.
    if (FindFirstOf(AClauseText, 0, AClauseText.size(), u"qQ") == AClauseText.size()) return false;
    for (std::size_t pos = 0; pos < AClauseText.size();) {
        const Token token = NextToken(AClauseText, pos);
        pos = token.End;
        if (token.Kind != TokenKind::Comment) continue;
        const std::basic_string_view<CharT> comment = AClauseText.substr(token.Begin, token.End - token.Begin);
        if (ReadsMarker(CommentBody(comment, token))) return true;
    }
    return false;
}

}  // namespace

bool HasKeepOrderMarker(std::u16string_view AClauseText) { return HasKeepOrderMarkerIn(AClauseText); }
bool HasKeepOrderMarker(std::string_view AClauseText) { return HasKeepOrderMarkerIn(AClauseText); }

}  // namespace quorvel::detail
