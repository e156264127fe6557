#pragma once
// Reading the text of files the catalog and the search for units look into:
// sources, include files, project and settings files.

#include <filesystem>
#include <optional>
#include <string>

namespace quorvel::files {

// The text by the run's rule for sources (mark, else UTF-8, else ANSI); bytes
// that are not the UTF-8 they claim to be are read as ANSI. Throws FileError
// when the file cannot be read.
std::u16string ReadTextFile(const std::filesystem::path& APath);
// The same, or nothing when the file cannot be read.
std::optional<std::u16string> TryReadTextFile(const std::filesystem::path& APath);

bool IsExistingFolder(const std::filesystem::path& APath);
bool IsExistingFile(const std::filesystem::path& APath);

}  // namespace quorvel::files
