#pragma once
// A project's options file: the window's settings keys in a [Settings]
// section, so a team keeps its formatting options beside its code.

#include <filesystem>
#include <string_view>

#include "FormatSettings.h"

namespace quorvel::cli {

inline constexpr std::string_view kOptionsFileName = "quorvel.ini";

// The options APath sets. Relative folders of UnitsPath are taken from APath's
// folder. Throws files::FileError naming the file, the line and the key for a
// key it does not know, a value it cannot read or a units folder that does not
// exist: a misread option would silently format a whole project differently.
FormatSettings ReadOptionsFile(const std::filesystem::path& APath);

}  // namespace quorvel::cli
