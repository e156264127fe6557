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

UsedIdentifiers UsedAmong(std::u16string_view AText, const IdentifierFilter& AFilter) {
    UsedIdentifiers used;
    std::u16string folded;
    std::size_t pos = 0;
    while (pos < AText.size()) {
        const char16_t c = AText[pos];
        if (IsIdentifierChar(c)) {
            const std::size_t end = SkipIdentifier(AText, pos);
            const std::u16string_view token = AText.substr(pos, end - pos);
            if (IsIdentifierStart(c) && AFilter.MayContain(token)) {
                folded.assign(token);
                for (char16_t& unit : folded) unit = FoldAscii(unit);
                const std::u16string_view found = AFilter.Find(folded);
                if (!found.empty()) used.Spellings.try_emplace(found, token);
            }
            pos = end;
        } else if (MayOpenCommentOrString(c)) {
            const std::size_t end = SkipCommentOrString(AText, pos);
            if (end > pos + 2 && (AText[pos + 1] == u'$' || (AText[pos + 1] == u'*' && AText[pos + 2] == u'$')) &&
                !IncludedFile(ReadDirective(AText.substr(pos, end - pos))).empty()) {
                used.IncludesFiles = true;
            }
            pos = end > pos ? end : pos + 1;
        } else {
            ++pos;
        }
    }
    return used;
}

}  // namespace quorvel::detail
