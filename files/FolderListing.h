#pragma once
// Finding the source files (".pas", ".dpr", ".dpk") of a folder.

#include <filesystem>
#include <string_view>
#include <vector>

namespace quorvel::files {

// The folder's source files: all ".pas" first, then ".dpr", then ".dpk";
// within each, depth first with each folder's entries sorted by name (ASCII
// letters without case). Each path is the folder as given, a separator and the
// path relative to it. Throws FileError when the folder is not an existing folder.
std::vector<std::filesystem::path> ListSourceFiles(const std::filesystem::path& AFolder, bool ARecursive);

// True when the name ends in ".pas", ".dpr" or ".dpk", ASCII letters without case.
bool HasSourceFileExtension(const std::filesystem::path& APath);

}  // namespace quorvel::files
