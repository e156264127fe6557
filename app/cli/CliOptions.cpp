#include "CliOptions.h"

#include <string_view>

#include "Utf8.h"

namespace quorvel::cli {

namespace {

// "A, B,C" -> {"A", "B", "C"}: blanks around names and empty pieces are dropped.
void AppendNames(std::string_view AList, std::vector<std::u16string>& ANames) {
    while (!AList.empty()) {
        const std::size_t comma = AList.find(',');
        std::u16string name = files::TextFromUtf8(AList.substr(0, comma));
        const auto first = name.find_first_not_of(u" \t");
        if (first != std::u16string::npos) ANames.push_back(name.substr(first, name.find_last_not_of(u" \t") - first + 1));
        if (comma == std::string_view::npos) break;
        AList.remove_prefix(comma + 1);
    }
}

std::vector<std::u16string> NamesOf(const std::vector<std::string>& AArguments) {
    std::vector<std::u16string> names;
    for (const std::string& argument : AArguments) AppendNames(argument, names);
    return names;
}

}  // namespace

TQuorvel CliOptions::Formatter() const {
    TQuorvel formatter;
    formatter.SetVerticalList(!Wrapped);
    formatter.SetWordWrapAt(WrapAt);
    formatter.SetKeepFirstBuiltIn(KeepFirstBuiltIn && !PlainOrder);
    if (!PlainOrder) formatter.SetKeepFirstUnits(NamesOf(KeepFirst));
    formatter.SetKeepNameResolution(KeepNameResolution && !PlainOrder);
    if (UnitScopes) formatter.SetUnitScopeNames(NamesOf({*UnitScopes}));
    return formatter;
}

std::vector<std::filesystem::path> CliOptions::UnitsFolders() const {
    return {UnitsPath.begin(), UnitsPath.end()};
}

}  // namespace quorvel::cli
