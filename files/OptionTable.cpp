#include "OptionTable.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "AsciiCase.h"
#include "IntegerText.h"
#include "PathText.h"
#include "Utf8.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

using Names = std::vector<std::u16string>;
using Folders = std::vector<fs::path>;

// VerticalList, WordWrapAt and AutoUpdate have the window's own, hand-placed
// controls; the other rows with a label get theirs from the table, in its order.
const std::array<OptionRow, 18> kRows{{
    {u"VerticalList", OptionKind::Flag, u"1", "--wrapped", u"0", "", false, u"",
     "Word-wrap each uses clause instead of one unit per line", u"", u"",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.VerticalList = std::get<bool>(AValue); }},
    {u"WordWrapAt", OptionKind::Width, u"80", "--wrap-at", u"", "N", false, u"VerticalList",
     "Width for --wrapped (implies it); default 80", u"", u"",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.WordWrapAt = std::get<std::int32_t>(AValue); }},
    {u"KeepFirstBuiltIn", OptionKind::Flag, u"1", "--no-keep-first", u"0", "", false, u"",
     "Do not keep the built-in list of units first", u"Memory managers first",
     u"Memory managers, thread managers and exception tracers stay first",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.KeepFirstBuiltIn = std::get<bool>(AValue); }},
    {u"KeepFirst", OptionKind::Names, u"", "--keep-first", u"", "NAMES", true, u"",
     "Units that stay first in every clause, in their written order, after the built-in list of "
     "memory managers, thread managers and exception tracers (comma-separated; repeatable)",
     u"Also first", u"More units that stay first in their written order, separated by commas",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.KeepFirstUnits = std::get<Names>(AValue); }},
    {u"KeepNameResolution", OptionKind::Flag, u"1", "--no-keep-names", u"0", "", false, u"",
     "Sort even where a name declared by two units of a clause would then resolve to the other unit",
     u"Keep names resolving",
     u"Where two units of a clause declare a name the file uses, the unit it resolves to stays after the other",
     [](const OptionValue& AValue, TFormatOptions& AOptions) {
         AOptions.KeepNameResolution = std::get<bool>(AValue);
     }},
    {u"KeepInitOrder", OptionKind::Flag, u"0", "--keep-init-order", u"1", "", false, u"",
     "Keep the relative order of units whose initialization or finalization runs code (theirs or that of the "
     "units they bring in), so the program starts and ends them as before",
     u"Keep start order",
     u"Units whose initialization or finalization runs code keep their order, so they start as before",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.KeepInitOrder = std::get<bool>(AValue); }},
    {u"UnitsPath", OptionKind::Folders, u"", "--units-path", u"", "DIR", true, u"",
     "Folder searched, with its subfolders, for the .pas and .pp sources of the units named in clauses, "
     "beside the folders of the files formatted (repeatable)",
     u"Units path",
     u"Folders searched, with their subfolders, for the sources of the units named in clauses, separated by \";\"",
     nullptr},
    {u"UnitScopes", OptionKind::Names, u"", "--unit-scopes", u"", "NAMES", false, u"",
     "Unit scope names tried in front of a unit name without one (comma-separated); "
     "default: the usual ones, System, Winapi, Vcl, ...",
     u"", u"",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.UnitScopeNames = std::get<Names>(AValue); }},
    {u"DefaultUnitsPath", OptionKind::Flag, u"1", "--no-default-units-path", u"0", "", false, u"",
     "Do not look for units in the sources of the Delphi, Free Pascal and Lazarus installed on this computer",
     u"Find compiler sources",
     u"Also look for units in the sources of the Delphi, Free Pascal and Lazarus installed on this computer",
     nullptr},
    {u"FileKinds", OptionKind::Names, u".pas, .dpr, .dpk", "--file-kinds", u"", "EXTS", false, u"",
     "Extensions of the files a folder gives (comma-separated); default .pas, .dpr, .dpk, and .pp, .lpr too "
     "below a folder holding a Lazarus or Free Pascal project",
     u"", u"", nullptr},
    {u"Groups", OptionKind::Groups, u"", "--groups", u"", "GROUPS", true, u"",
     "Write the units in groups, in the order given (comma-separated; repeatable): each group a list of name "
     "patterns separated by \";\" (System.*;Vcl), or \"other\" (units no pattern matches), \"project\" (units "
     "whose source lies in the folders of the files formatted), a preset (vcl, lazarus), or \"keep-blocks\" "
     "(sort within each blank-line block of the clause only)",
     u"Groups",
     u"Groups of units in their order, separated by commas: name patterns separated by \";\" (System.*;Vcl), "
     u"other, project, a preset (vcl, lazarus) or keep-blocks",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.UnitGroups = std::get<Names>(AValue); }},
    {u"GroupSeparator", OptionKind::Choice, u"blank-line", "--group-separator", u"", "WORD", false, u"",
     "Between groups: blank-line (a blank line, or a new line in the wrapped layout; the default) or none",
     u"Between groups", u"A blank line between groups (a new line when word-wrapped), or nothing",
     [](const OptionValue& AValue, TFormatOptions& AOptions) {
         AOptions.GroupSeparator = std::get<std::int32_t>(AValue) == 0;
     },
     u"blank-line|none"},
    {u"WriteUnitScopes", OptionKind::Choice, u"as-written", "--write-unit-scopes", u"", "WORD", false, u"",
     "Unit scope names: as-written (the default), add (SysUtils as System.SysUtils where exactly one of the unit "
     "scope names gives a unit) or remove (System.SysUtils as SysUtils where the short name reaches only that unit)",
     u"Unit scope names",
     u"Add them (SysUtils as System.SysUtils) or remove them where the unit they name is beyond doubt",
     [](const OptionValue& AValue, TFormatOptions& AOptions) {
         AOptions.UnitScopeWriting = static_cast<TUnitScopeWriting>(std::get<std::int32_t>(AValue));
     },
     u"as-written|add|remove"},
    {u"UnitCase", OptionKind::Choice, u"as-written", "--unit-case", u"", "WORD", false, u"",
     "Letter case of unit names: as-written (the default) or declared (as the unit's own heading spells it, where "
     "its source is found)",
     u"Unit name case", u"Write each unit name as its own unit heading spells it, where its source is found",
     [](const OptionValue& AValue, TFormatOptions& AOptions) {
         AOptions.DeclaredUnitCase = std::get<std::int32_t>(AValue) == 1;
     },
     u"as-written|declared"},
    {u"ReportUnused", OptionKind::Flag, u"0", "--unused", u"1", "", false, u"",
     "Report the units a file does not need and the interface units only its implementation needs (with "
     "--check: exit 1 when there are such units to remove or move)",
     u"Report unneeded units",
     u"Log the units a file does not need, and the interface units only its implementation needs",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.ReportUnneededUnits = std::get<bool>(AValue); }},
    {u"RemoveUnused", OptionKind::Flag, u"0", "--remove-unused", u"1", "", false, u"",
     "Remove the units a file does not need; never one whose initialization or finalization runs code (its own or "
     "that of a unit it brings in), nor one whose source is not found",
     u"Remove unneeded units",
     u"Remove the units a file does not need, except those that run code as the program starts or ends",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.RemoveUnneededUnits = std::get<bool>(AValue); }},
    {u"MoveToImplementation", OptionKind::Flag, u"0", "--move-to-implementation", u"1", "", false, u"",
     "Move the units of an interface clause that only the implementation needs into the implementation clause "
     "(made when there is none), where no name then reaches another unit",
     u"Move to implementation",
     u"Move interface units that only the implementation needs into the implementation clause",
     [](const OptionValue& AValue, TFormatOptions& AOptions) { AOptions.MoveToImplementation = std::get<bool>(AValue); }},
    // The window's update check: read and checked but changing nothing in the
    // formatting, so the window's own settings file also serves as an options file.
    {u"AutoUpdate", OptionKind::Flag, u"1", "", u"", "", false, u"", "", u"", u"", nullptr},
}};

std::u16string_view Trimmed(std::u16string_view AText) {
    const auto first = AText.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) return {};
    return AText.substr(first, AText.find_last_not_of(u" \t") - first + 1);
}

std::string Quoted(std::u16string_view AText) { return "\"" + Utf8FromText(AText) + "\""; }

std::int32_t WholeNumber(std::u16string_view AText) {
    const auto value = ParseIntegerText(AText);
    if (!value) throw OptionError(Quoted(AText) + " is not a whole number");
    return *value;
}

Folders ReadFolders(std::u16string_view AList, const OptionReading& AReading) {
    Folders folders;
    while (!AList.empty()) {
        const std::size_t semicolon = AList.find(u';');
        const std::u16string_view piece = Trimmed(AList.substr(0, semicolon));
        if (!piece.empty()) {
            const fs::path folder = AReading.BaseFolder / fs::path(std::u16string(piece));
            std::error_code error;
            if (AReading.FoldersMustExist && !fs::is_directory(folder, error))
                throw OptionError(Quoted(piece) + " is not an existing folder (looked for \"" + PathMessageText(folder) +
                                  "\")");
            folders.push_back(folder);
        }
        if (semicolon == std::u16string_view::npos) break;
        AList.remove_prefix(semicolon + 1);
    }
    return folders;
}

Names ReadGroups(std::u16string_view AList) {
    Names groups;
    AppendNames(AList, groups);
    for (const std::u16string& group : groups) {
        if (const std::u16string problem = F_UnitGroupProblem(group); !problem.empty())
            throw OptionError(Utf8FromText(problem));
    }
    return groups;
}

std::int32_t ReadChoice(const OptionRow& ARow, std::u16string_view AText) {
    const std::vector<std::u16string_view> words = ChoiceWords(ARow);
    const std::u16string_view word = Trimmed(AText);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (SameAsciiName(words[i], word)) return static_cast<std::int32_t>(i);
    }
    std::string known;
    for (std::u16string_view w : words) known += (known.empty() ? "" : ", ") + Utf8FromText(w);
    throw OptionError(Quoted(AText) + " is not one of " + known);
}

std::size_t RowIndex(const OptionRow& ARow) { return static_cast<std::size_t>(&ARow - kRows.data()); }

}  // namespace

std::span<const OptionRow> OptionTable() { return kRows; }

std::vector<std::u16string_view> ChoiceWords(const OptionRow& ARow) {
    std::vector<std::u16string_view> words;
    std::u16string_view rest = ARow.Choices;
    while (!rest.empty()) {
        const std::size_t bar = rest.find(u'|');
        words.push_back(rest.substr(0, bar));
        if (bar == std::u16string_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
    return words;
}

const OptionRow* FindOption(std::u16string_view AKey) {
    const auto row = std::find_if(kRows.begin(), kRows.end(),
                                  [&](const OptionRow& ARow) { return SameAsciiName(ARow.Key, AKey); });
    return row == kRows.end() ? nullptr : &*row;
}

const OptionRow& OptionByKey(std::u16string_view AKey) {
    const OptionRow* row = FindOption(AKey);
    if (!row) throw std::logic_error("no option " + Utf8FromText(AKey));
    return *row;
}

std::string KnownOptionKeys() {
    std::string list;
    for (const OptionRow& row : kRows) list += (list.empty() ? "" : ", ") + Utf8FromText(row.Key);
    return list;
}

void AppendNames(std::u16string_view AList, std::vector<std::u16string>& ANames) {
    while (!AList.empty()) {
        const std::size_t comma = AList.find(u',');
        const std::u16string_view name = Trimmed(AList.substr(0, comma));
        if (!name.empty()) ANames.emplace_back(name);
        if (comma == std::u16string_view::npos) break;
        AList.remove_prefix(comma + 1);
    }
}

std::optional<OptionValue> ParseOptionValue(const OptionRow& ARow, std::u16string_view AText,
                                            const OptionReading& AReading) {
    switch (ARow.Kind) {
        case OptionKind::Flag: return WholeNumber(AText) != 0;
        case OptionKind::Width: {
            if (AText.empty()) return std::nullopt;
            const std::int32_t width = WholeNumber(AText);
            if (width < 1) throw OptionError("the width must be at least 1, not " + std::to_string(width));
            return width;
        }
        case OptionKind::Names: {
            Names names;
            AppendNames(AText, names);
            return names;
        }
        case OptionKind::Folders: return ReadFolders(AText, AReading);
        case OptionKind::Groups: return ReadGroups(AText);
        case OptionKind::Choice: return ReadChoice(ARow, AText);
    }
    return std::nullopt;
}

OptionSet::OptionSet() : FValues(kRows.size()) {}

void OptionSet::Set(const OptionRow& ARow, OptionValue AValue) { FValues[RowIndex(ARow)] = std::move(AValue); }

void OptionSet::SetText(const OptionRow& ARow, std::u16string_view AText, const OptionReading& AReading) {
    if (auto value = ParseOptionValue(ARow, AText, AReading)) Set(ARow, std::move(*value));
}

void OptionSet::Append(const OptionRow& ARow, OptionValue AValue) {
    std::optional<OptionValue>& slot = FValues[RowIndex(ARow)];
    if (!slot) {
        slot = std::move(AValue);
        return;
    }
    std::visit(
        [&](auto& AList) {
            using T = std::decay_t<decltype(AList)>;
            if constexpr (std::is_same_v<T, Names> || std::is_same_v<T, Folders>) {
                const T& more = std::get<T>(AValue);
                AList.insert(AList.end(), more.begin(), more.end());
            } else {
                AList = std::get<T>(AValue);
            }
        },
        *slot);
}

const OptionValue* OptionSet::Find(const OptionRow& ARow) const {
    const std::optional<OptionValue>& slot = FValues[RowIndex(ARow)];
    return slot ? &*slot : nullptr;
}

OptionSet OptionSet::Overlay(const OptionSet& ATop, const OptionSet& ABottom) {
    OptionSet result;
    for (std::size_t i = 0; i < kRows.size(); ++i) result.FValues[i] = ATop.FValues[i] ? ATop.FValues[i] : ABottom.FValues[i];
    return result;
}

TFormatOptions OptionSet::EngineOptions() const {
    TFormatOptions options;
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        if (FValues[i] && kRows[i].Apply) kRows[i].Apply(*FValues[i], options);
    }
    return options;
}

bool OptionSet::DefaultUnitsPath() const {
    const OptionValue* value = Find(OptionByKey(u"DefaultUnitsPath"));
    return !value || std::get<bool>(*value);
}

std::optional<std::vector<std::u16string>> OptionSet::FileKinds() const {
    const OptionValue* value = Find(OptionByKey(u"FileKinds"));
    if (!value) return std::nullopt;
    return std::get<Names>(*value);
}

std::vector<fs::path> OptionSet::UnitsPath() const {
    const OptionValue* folders = Find(OptionByKey(u"UnitsPath"));
    return folders ? std::get<Folders>(*folders) : Folders{};
}

}  // namespace quorvel::files
