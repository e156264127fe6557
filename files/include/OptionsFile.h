#pragma once
// A project's options file: the keys of the option table in a [Settings]
// section, so a team keeps its formatting options beside its code. The
// window's own settings file is one too.

#include <filesystem>
#include <string_view>

#include "OptionTable.h"

namespace quorvel::files {

inline constexpr std::string_view kOptionsFileName = "quorvel.ini";

// The options APath sets. Relative folders of UnitsPath are taken from APath's
// folder. Throws FileError naming the file, the line and the key for a key it
// does not know, a value it cannot read or a units folder that does not
// exist: a misread option would silently format a whole project differently.
OptionSet ReadOptionsFile(const std::filesystem::path& APath);

}  // namespace quorvel::files
