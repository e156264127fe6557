#include "FormatSettings.h"

namespace quorvel::cli {

FormatSettings FormatSettings::Overlay(const FormatSettings& ATop, const FormatSettings& ABottom) {
    const auto pick = [](const auto& ATopValue, const auto& ABottomValue) {
        return ATopValue ? ATopValue : ABottomValue;
    };
    return {.Wrapped = pick(ATop.Wrapped, ABottom.Wrapped),
            .WrapAt = pick(ATop.WrapAt, ABottom.WrapAt),
            .KeepFirstBuiltIn = pick(ATop.KeepFirstBuiltIn, ABottom.KeepFirstBuiltIn),
            .KeepFirst = pick(ATop.KeepFirst, ABottom.KeepFirst),
            .KeepNameResolution = pick(ATop.KeepNameResolution, ABottom.KeepNameResolution),
            .UnitsPath = pick(ATop.UnitsPath, ABottom.UnitsPath),
            .UnitScopes = pick(ATop.UnitScopes, ABottom.UnitScopes)};
}

TQuorvel FormatSettings::Formatter(bool APlainOrder) const {
    TQuorvel formatter;
    formatter.SetVerticalList(!Wrapped.value_or(false));
    if (WrapAt) formatter.SetWordWrapAt(*WrapAt);
    formatter.SetKeepFirstBuiltIn(KeepFirstBuiltIn.value_or(true) && !APlainOrder);
    if (KeepFirst && !APlainOrder) formatter.SetKeepFirstUnits(*KeepFirst);
    formatter.SetKeepNameResolution(KeepNameResolution.value_or(true) && !APlainOrder);
    if (UnitScopes) formatter.SetUnitScopeNames(*UnitScopes);
    return formatter;
}

std::vector<std::filesystem::path> FormatSettings::UnitsFolders() const {
    return UnitsPath.value_or(std::vector<std::filesystem::path>{});
}

void AppendNames(std::u16string_view AList, std::vector<std::u16string>& ANames) {
    while (!AList.empty()) {
        const std::size_t comma = AList.find(u',');
        const std::u16string_view name = AList.substr(0, comma);
        const auto first = name.find_first_not_of(u" \t");
        if (first != std::u16string_view::npos)
            ANames.emplace_back(name.substr(first, name.find_last_not_of(u" \t") - first + 1));
        if (comma == std::u16string_view::npos) break;
        AList.remove_prefix(comma + 1);
    }
}

}  // namespace quorvel::cli
