#pragma once
// The identifier tokens of a source text that may name a global declaration,
// for the scans that ask what a file uses.

#include <string_view>
#include <vector>

#include "CompilerDirective.h"
#include "PascalLexer.h"
#include "TextRules.h"

namespace quorvel::detail {

struct IdentifierScan {
    bool IncludesFiles = false;      // a {$I name} directive: what the file names there is elsewhere
    bool NestedReadDiffers = false;  // a comment would run further read nested
};

// A directive whose argument names identifiers of the program: `{$IF Level > 1}`,
// `{$ELSEIF declared(X)}`, a macro `{$DEFINE M := Level}`.
inline bool ReadsIdentifiers(const CompilerDirective& ADirective) {
    return KeywordEquals(ADirective.Name, u"IF") || KeywordEquals(ADirective.Name, u"ELSEIF") ||
           (KeywordEquals(ADirective.Name, u"DEFINE") && ADirective.Argument.find(u":=") != std::u16string_view::npos);
}

// Calls AVisit with each identifier token of AText outside comments and strings
// (a view into AText), comments read nested or not by ANested. Directives count
// only where they name identifiers of the program; a name right after a lone
// `.` (a member, or qualified by its unit) never does, one after `..` does.
// AIncludes, when given, gets the names of the include files as the text names
// them, in order.
template <typename Visit>
void ScanIdentifiers(std::u16string_view AText, bool ANested, Visit&& AVisit, IdentifierScan& AScan,
                     std::vector<std::u16string_view>* AIncludes = nullptr) {
    // The last two code units of code (no blanks, comments, directives).
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
            const bool member = last == u'.' && beforeLast != u'.';
            if (!member && IsIdentifierStart(c)) AVisit(AText.substr(pos, end - pos));
            beforeLast = last;
            last = u'a';
            pos = end;
            continue;
        }
        const std::size_t end = MayOpenCommentOrString(c) ? SkipCommentOrString(AText, pos, {ANested, true}) : pos;
        if (end > pos) {
            const bool directive = c != u'\'' && end > pos + 2 &&
                                   (AText[pos + 1] == u'$' || (AText[pos + 1] == u'*' && AText[pos + 2] == u'$'));
            if (directive) {
                const CompilerDirective read = ReadDirective(AText.substr(pos, end - pos));
                const std::u16string_view included = IncludedFile(read);
                if (!included.empty()) {
                    AScan.IncludesFiles = true;
                    if (AIncludes) AIncludes->push_back(included);
                }
                if (ReadsIdentifiers(read)) ScanIdentifiers(read.Argument, ANested, AVisit, AScan);
            } else if (c == u'\'') {
                beforeLast = last;
                last = c;
            } else if (!ANested && c != u'/') {
                const std::u16string_view inside = AText.substr(pos + 1, end - pos - 1);
                AScan.NestedReadDiffers =
                    AScan.NestedReadDiffers || (c == u'{' ? inside.find(u'{') != std::u16string_view::npos
                                                          : inside.substr(1).find(u"(*") != std::u16string_view::npos);
            }
            pos = end;
        } else {
            beforeLast = last;
            last = c;
            ++pos;
        }
    }
}

// Both readings where they differ: Free Pascal's own modes nest comments, Delphi's do not.
template <typename Visit>
IdentifierScan ScanIdentifiersBothWays(std::u16string_view AText, Visit&& AVisit,
                                       std::vector<std::u16string_view>* AIncludes = nullptr) {
    IdentifierScan scan;
    ScanIdentifiers(AText, false, AVisit, scan, AIncludes);
    if (scan.NestedReadDiffers) ScanIdentifiers(AText, true, AVisit, scan);
    return scan;
}

}  // namespace quorvel::detail
