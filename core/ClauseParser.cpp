#include "ClauseParser.h"

#include <vector>

#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {
namespace {

bool IsCommentLike(const Token& AToken) {
    return AToken.Kind == TokenKind::Comment || AToken.Kind == TokenKind::Directive;
}

bool IsLineBreakBlank(const Token& AToken) { return AToken.Kind == TokenKind::Blank && AToken.HasLineBreak; }

// Two line breaks or more in one run of blanks: a blank line (CR LF counts once).
bool HoldsBlankLine(std::u16string_view ABlank) {
    int breaks = 0;
    for (std::size_t i = 0; i < ABlank.size(); ++i) {
        if (ABlank[i] == u'\n' || (ABlank[i] == u'\r' && (i + 1 == ABlank.size() || ABlank[i + 1] != u'\n'))) ++breaks;
    }
    return breaks >= 2;
}

// Where the element in progress stands in `Name(.Name)* [in 'path']`.
enum class NameState { Empty, AfterName, AfterDot, AfterIn, AfterPath, Invalid };

NameState NextNameState(NameState AState, const Token& AToken, std::u16string_view AText) {
    const std::u16string_view text = AText.substr(AToken.Begin, AToken.End - AToken.Begin);
    switch (AState) {
    case NameState::Empty:
    case NameState::AfterDot:
        return AToken.Kind == TokenKind::Identifier ? NameState::AfterName : NameState::Invalid;
    case NameState::AfterName:
        if (AToken.Kind == TokenKind::Symbol && text == u".") return NameState::AfterDot;
        if (AToken.Kind == TokenKind::Identifier && KeywordEquals(text, u"in")) return NameState::AfterIn;
        return NameState::Invalid;
    case NameState::AfterIn:
        return AToken.Kind == TokenKind::String ? NameState::AfterPath : NameState::Invalid;
    default:
        return NameState::Invalid;
    }
}

class ClauseParser {
public:
    ClauseParser(std::u16string_view AText, bool APreserveComments, TUsesBlock& ABlock)
        : FText(AText), FPreserveComments(APreserveComments), FBlock(ABlock) {}

    void Run() {
        Tokenize();
        std::size_t i = 0;
        while (i < FTokens.size()) {
            const Token& token = FTokens[i];
            if (token.Kind == TokenKind::Blank) {
                if (token.HasLineBreak) FCodeOnLine = false;
                if (token.HasLineBreak && HoldsBlankLine(FText.substr(token.Begin, token.End - token.Begin))) {
                    FBlankLineSeen = true;
                }
                ++i;
            } else if (IsCommentLike(token)) {
                i = TakeCommentRun(i);
            } else {
                TakeCode(token);
                ++i;
            }
        }
        FinishElement();
        FBlock.IsUnitList = FValid;
    }

private:
    std::u16string_view FText;
    bool FPreserveComments;
    TUsesBlock& FBlock;
    std::vector<Token> FTokens;
    bool FValid = true;
    bool FCodeOnLine = false;  // code stands earlier on the current line; the keyword's line counts as empty
    bool FBlankLineSeen = false;  // since the last element's code began

    TUsesEntry FElement;  // the element in progress
    NameState FNameState = NameState::Empty;
    bool FElementHasText = false;  // code or comments
    bool FElementHasCode = false;
    std::size_t FElementTextEnd = 0;  // end in FText of the last piece of text taken into FElement
    bool FCommentSinceCode = false;   // a comment stands between the element's last code and the next

    void Tokenize() {
        for (std::size_t pos = 0; pos < FText.size();) {
            FTokens.push_back(NextToken(FText, pos));
            pos = FTokens.back().End;
        }
    }

    // Comments separated only by blanks within a line form one run, placed as a whole.
    std::size_t TakeCommentRun(std::size_t AFirst) {
        std::size_t last = AFirst;
        for (;;) {
            std::size_t next = last + 1;
            if (next < FTokens.size() && FTokens[next].Kind == TokenKind::Blank && !FTokens[next].HasLineBreak) ++next;
            if (next >= FTokens.size() || !IsCommentLike(FTokens[next])) break;
            last = next;
        }
        for (std::size_t i = AFirst; i <= last; ++i) {
            if (FTokens[i].Kind == TokenKind::Directive) FBlock.HasConditionals = true;
        }
        const std::size_t begin = FTokens[AFirst].Begin;
        const std::size_t end = FTokens[last].End;
        const std::u16string_view run = TrimTrailingBlanks(FText.substr(begin, end - begin));
        FCommentSinceCode = FElementHasCode;
        const bool endsLine = FTokens[last].IsLineComment ||
                              (last + 1 < FTokens.size() && IsLineBreakBlank(FTokens[last + 1]));
        if (!endsLine) {
            AppendElementText(begin, end);
        } else if (FCodeOnLine) {
            AddTrailingComment(run);
        } else if (FPreserveComments) {
            FBlock.LeadingComments.emplace_back(run);
        }
        return last + 1;
    }

    void TakeCode(const Token& AToken) {
        FCodeOnLine = true;
        if (AToken.Kind == TokenKind::Symbol && FText[AToken.Begin] == u',') {
            FinishElement();
            return;
        }
        if (FCommentSinceCode && ContinuesName(AToken)) FValid = false;
        FCommentSinceCode = false;
        FNameState = NextNameState(FNameState, AToken, FText);
        AppendElementText(AToken.Begin, AToken.End);
        if (!FElementHasCode) {
            FElement.NameStart = FElement.UnitName.size() - (AToken.End - AToken.Begin);
            FElement.BlankLineBefore = FBlankLineSeen;
            FBlankLineSeen = false;
        }
        FElementHasCode = true;
    }

    // A comment between the parts of a dotted name could only be placed by
    // taking the name apart, so such a clause is left as it is.
    bool ContinuesName(const Token& AToken) const {
        if (FNameState == NameState::AfterDot) return true;
        return FNameState == NameState::AfterName && AToken.Kind == TokenKind::Symbol && FText[AToken.Begin] == u'.';
    }

    // Text within a line keeps its spacing; text across lines or around a
    // comment placed elsewhere is joined with one blank.
    void AppendElementText(std::size_t ABegin, std::size_t AEnd) {
        if (FElementHasText && ABegin > FElementTextEnd) {
            const std::u16string_view gap = FText.substr(FElementTextEnd, ABegin - FElementTextEnd);
            FElement.UnitName += IsSpacingWithinLine(gap) ? gap : u" ";
        }
        FElement.UnitName += FText.substr(ABegin, AEnd - ABegin);
        FElementHasText = true;
        FElementTextEnd = AEnd;
    }

    static bool IsSpacingWithinLine(std::u16string_view AGap) {
        for (char16_t c : AGap) {
            if (!IsBlank(c) || IsLineBreakChar(c)) return false;
        }
        return true;
    }

    // The element in progress when it has code, else the last finished one.
    void AddTrailingComment(std::u16string_view ARun) {
        std::u16string* target = nullptr;
        if (FElementHasCode) target = &FElement.TrailingComment;
        else if (!FBlock.Entries.empty()) target = &FBlock.Entries.back().TrailingComment;
        if (target == nullptr || !AppendTrailingComment(*target, ARun)) FValid = false;
    }

    void FinishElement() {
        if (FElementHasCode) {
            if (FNameState == NameState::AfterName || FNameState == NameState::AfterPath) {
                FBlock.Entries.push_back(std::move(FElement));
            } else {
                FValid = false;
            }
        } else if (FElementHasText) {
            FValid = false;  // a comment between two commas belongs to no element
        }
        FElement = TUsesEntry{};
        FNameState = NameState::Empty;
        FElementHasText = false;
        FElementHasCode = false;
        FCommentSinceCode = false;
    }
};

bool EndsWithLineComment(std::u16string_view AComments) {
    bool lineComment = false;
    for (std::size_t pos = 0; pos < AComments.size();) {
        const Token token = NextToken(AComments, pos);
        if (token.Kind != TokenKind::Blank) lineComment = token.IsLineComment;
        pos = token.End;
    }
    return lineComment;
}

}  // namespace

void ParseUnits(std::u16string_view AClauseText, bool APreserveComments, TUsesBlock& ABlock) {
    ClauseParser(AClauseText, APreserveComments, ABlock).Run();
}

bool AppendTrailingComment(std::u16string& ATrailing, std::u16string_view ARun) {
    if (ATrailing.empty()) {
        ATrailing = ARun;
        return true;
    }
    if (EndsWithLineComment(ATrailing)) return false;
    ATrailing += u' ';
    ATrailing += ARun;
    return true;
}

}  // namespace quorvel::detail
