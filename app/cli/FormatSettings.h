#pragma once
// The options that say how sources are formatted, as one place gives them: the
// command line or an options file. An option a place does not set stays empty,
// so the places can be laid over each other option by option.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::cli {

struct FormatSettings {
    std::optional<bool> Wrapped;  // false: one unit per line
    std::optional<std::int32_t> WrapAt;
    std::optional<bool> KeepFirstBuiltIn;
    std::optional<std::vector<std::u16string>> KeepFirst;
    std::optional<bool> KeepNameResolution;
    std::optional<std::vector<std::filesystem::path>> UnitsPath;  // searched with their subfolders
    std::optional<std::vector<std::u16string>> UnitScopes;       // replaces the default scope names

    // Each option from ATop where it is set there, else from ABottom. Lists
    // are not merged: a list set in ATop replaces ABottom's.
    static FormatSettings Overlay(const FormatSettings& ATop, const FormatSettings& ABottom);

    // Options still unset take the engine's defaults. APlainOrder switches both
    // order rules off, whatever the settings say.
    TQuorvel Formatter(bool APlainOrder) const;
    std::vector<std::filesystem::path> UnitsFolders() const;
};

// "A, B,C" -> {"A", "B", "C"}: blanks around names and empty pieces are dropped.
void AppendNames(std::u16string_view AList, std::vector<std::u16string>& ANames);

}  // namespace quorvel::cli
