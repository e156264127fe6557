#pragma once
// Which options file a source's folder falls under: "quorvel.ini" in that
// folder or the nearest folder above it. The search stops at the root of a Git
// work tree (a folder holding ".git", file or folder), so a project never
// picks up the options of whatever happens to lie above its checkout, and at
// the file system root.

#include <filesystem>
#include <optional>
#include <unordered_map>

namespace quorvel::cli {

class OptionsFileLookup {
public:
    // AFolder may be relative (to the current folder). Folders already passed
    // are remembered, so a run over thousands of files looks at each folder once.
    std::optional<std::filesystem::path> FileFor(const std::filesystem::path& AFolder);

private:
    std::unordered_map<std::filesystem::path::string_type, std::optional<std::filesystem::path>> FByFolder;
};

}  // namespace quorvel::cli
