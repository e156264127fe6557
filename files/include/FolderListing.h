#pragma once
// Finding the source files (".pas", ".dpr", ".dpk") of a folder, or files of
// any kind, the same way on every system (long Windows paths included).

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::files {

// Called with each folder of the tree that cannot be opened; it adds nothing.
using UnreadableFolderHandler = std::function<void(const std::filesystem::path& AFolder)>;

// The folder's source files: all ".pas" first, then ".dpr", then ".dpk", then,
// from folders in or below one holding a Lazarus or Free Pascal project
// (".lpi", ".lpk", "fpmake.pp", "Makefile.fpc"), ".pp" and ".lpr"; within
// each, depth first, each folder's entries sorted by name with ASCII letters
// compared without case (the order Windows gives, the same on every system).
// Each path is the folder as given, a separator unless it already ends with
// one, and the path relative to it. Links to folders are not followed.
// AKinds, when given, replaces those kinds: the extensions (".pas", ASCII
// letters without case) listed in that order, in every folder.
// Throws FileError when the folder is not given or is not an existing folder.
std::vector<std::filesystem::path> ListSourceFiles(const std::filesystem::path& AFolder, bool ARecursive,
                                                   const UnreadableFolderHandler& AOnUnreadable = {},
                                                   const std::optional<std::vector<std::string>>& AKinds = {});

// Decides by a file's name whether a listing keeps it.
using FileNameFilter = std::function<bool(const std::filesystem::path& AName)>;
// Called with each folder of the tree just before its entries are read.
using FolderVisitHandler = std::function<void(const std::filesystem::path& AFolder)>;

// The folder's files that AKeep takes, in the order and the form of
// ListSourceFiles, which this is for any kind of file.
std::vector<std::filesystem::path> ListFiles(const std::filesystem::path& AFolder, bool ARecursive,
                                             const FileNameFilter& AKeep,
                                             const UnreadableFolderHandler& AOnUnreadable = {},
                                             const FolderVisitHandler& AOnVisit = {});

// True when the name ends in ".pas", ".dpr" or ".dpk", ASCII letters without case.
bool HasSourceFileExtension(const std::filesystem::path& APath);

}  // namespace quorvel::files
