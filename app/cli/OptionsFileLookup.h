#pragma once
// Which options file a source's folder falls under: "quorvel.ini" in that
// folder or the nearest folder above it. The search stops at the root of a Git
// work tree (a folder holding ".git", file or folder), so a project never
// picks up the options of whatever happens to lie above its checkout, and at
// the file system root.

#include <filesystem>
#include <optional>

#include "NearestFolderSearch.h"

namespace quorvel::cli {

class OptionsFileLookup {
public:
    // AFolder may be relative (to the current folder). Folders already passed
    // are remembered, so a run over thousands of files looks at each folder once.
    OptionsFileLookup();
    std::optional<std::filesystem::path> FileFor(const std::filesystem::path& AFolder) { return FSearch.For(AFolder); }

private:
    files::NearestFolderSearch<std::optional<std::filesystem::path>> FSearch;
};

}  // namespace quorvel::cli
