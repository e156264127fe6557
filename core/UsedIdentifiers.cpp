#include "UsedIdentifiers.h"

#include "IdentifierScan.h"

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

// One reading; true when a comment would run further read nested. AIncludes,
// when given, gets the names of the include files.
bool ReadUses(std::u16string_view AText, const IdentifierFilter& AFilter, bool ANested, UsedIdentifiers& AUsed,
              std::vector<std::u16string_view>* AIncludes) {
    std::u16string folded;
    IdentifierScan scan;
    ScanIdentifiers(
        AText, ANested,
        [&](std::u16string_view AToken) {
            if (!AFilter.MayContain(AToken)) return;
            folded.assign(AToken);
            for (char16_t& unit : folded) unit = FoldAscii(unit);
            const std::u16string_view found = AFilter.Find(folded);
            if (!found.empty()) AUsed.Spellings.try_emplace(found, AToken);
        },
        scan, AIncludes);
    AUsed.IncludesFiles = AUsed.IncludesFiles || scan.IncludesFiles;
    return scan.NestedReadDiffers;
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
