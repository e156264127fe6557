#include "UsedIdentifiers.h"

#include "CompilerDirective.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {

void IdentifierFilter::Add(std::u16string_view AFolded) {
    if (AFolded.empty()) return;
    FIdentifiers.insert(AFolded);
    const char16_t first = AFolded.front();
    const char16_t last = AFolded.back();
    if (AFolded.size() < kLengths && first < kUnits && last < kUnits) {
        FFirstUnits.set(AFolded.size() * kUnits + first);
        FLastUnits.set(AFolded.size() * kUnits + last);
    }
}

bool IdentifierFilter::MayContain(std::u16string_view AToken) const {
    const char16_t first = FoldAscii(AToken.front());
    const char16_t last = FoldAscii(AToken.back());
    if (AToken.size() >= kLengths || first >= kUnits || last >= kUnits) return true;
    return FFirstUnits.test(AToken.size() * kUnits + first) && FLastUnits.test(AToken.size() * kUnits + last);
}

std::u16string_view IdentifierFilter::Find(std::u16string_view AFolded) const {
    const auto found = FIdentifiers.find(AFolded);
    return found == FIdentifiers.end() ? std::u16string_view() : *found;
}

namespace {

// A directive whose argument names identifiers of the program: `{$IF Level > 1}`,
// `{$ELSEIF declared(X)}`, a macro `{$DEFINE M := Level}`.
bool ReadsIdentifiers(const CompilerDirective& ADirective) {
    return KeywordEquals(ADirective.Name, u"IF") || KeywordEquals(ADirective.Name, u"ELSEIF") ||
           (KeywordEquals(ADirective.Name, u"DEFINE") && ADirective.Argument.find(u":=") != std::u16string_view::npos);
}

// One reading; true when a comment would run further read nested. AIncludes,
// when given, gets the names of the include files as the lexer reads the
// directives (`{$` or `(*$`).
bool ReadUses(std::u16string_view AText, const IdentifierFilter& AFilter, bool ANested, UsedIdentifiers& AUsed,
              std::vector<std::u16string_view>* AIncludes) {
    std::u16string folded;
    bool sawNestedOpening = false;
    // The last two code units of code (no blanks, comments, directives): a name
    // right after a lone `.` is a member or qualified by its unit, never a
    // global the order of the clause decides; after `..` it is one.
    char16_t last = 0, beforeLast = 0;
    std::size_t pos = 0;
    while (pos < AText.size()) {
        const char16_t c = AText[pos];
        if (IsBlank(c)) {  // runs of them are common: indentation
            while (++pos < AText.size() && IsBlank(AText[pos])) {
            }
            continue;
        }
        if (IsIdentifierChar(c)) {
            const std::size_t end = SkipIdentifier(AText, pos);
            const std::u16string_view token = AText.substr(pos, end - pos);
            const bool member = last == u'.' && beforeLast != u'.';
            if (!member && IsIdentifierStart(c) && AFilter.MayContain(token)) {
                folded.assign(token);
                for (char16_t& unit : folded) unit = FoldAscii(unit);
                const std::u16string_view found = AFilter.Find(folded);
                if (!found.empty()) AUsed.Spellings.try_emplace(found, token);
            }
            beforeLast = last;
            last = u'a';
            pos = end;
            continue;
        }
        const std::size_t end = MayOpenCommentOrString(c) ? SkipCommentOrString(AText, pos, {ANested, true}) : pos;
        if (end > pos) {
            const bool directive = c != u'\'' && end > pos + 2 && (AText[pos + 1] == u'$' || (AText[pos + 1] == u'*' && AText[pos + 2] == u'$'));
            if (directive) {
                const CompilerDirective read = ReadDirective(AText.substr(pos, end - pos));
                const std::u16string_view included = IncludedFile(read);
                if (!included.empty()) {
                    AUsed.IncludesFiles = true;
                    if (AIncludes && AText[pos + (c == u'{' ? 1 : 2)] == u'$') AIncludes->push_back(included);
                }
                if (ReadsIdentifiers(read)) ReadUses(read.Argument, AFilter, ANested, AUsed, nullptr);
            } else if (c == u'\'') {
                beforeLast = last;
                last = c;
            } else if (!ANested && c != u'/') {
                const std::u16string_view inside = AText.substr(pos + 1, end - pos - 1);
                sawNestedOpening = sawNestedOpening || (c == u'{' ? inside.find(u'{') != std::u16string_view::npos
                                                                  : inside.substr(1).find(u"(*") != std::u16string_view::npos);
            }
            pos = end;
        } else {
            beforeLast = last;
            last = c;
            ++pos;
        }
    }
    return sawNestedOpening;
}

}  // namespace

// Free Pascal's own modes nest comments, Delphi's do not: where that changes
// what is read, both readings count.
UsedIdentifiers UsedAmong(std::u16string_view AText, const IdentifierFilter& AFilter) {
    UsedIdentifiers used;
    if (ReadUses(AText, AFilter, false, used, &used.IncludeNames)) ReadUses(AText, AFilter, true, used, nullptr);
    return used;
}

}  // namespace quorvel::detail
