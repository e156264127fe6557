#pragma once
// What a project file says about where its units are: a Delphi project
// (.dproj) or package (.dpk), a Lazarus project (.lpi) or package (.lpk).

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "NearestFolderSearch.h"

namespace quorvel::files {

struct ProjectSettings {
    std::vector<std::filesystem::path> Files;        // the project files read, in name order
    std::vector<std::filesystem::path> UnitFolders;  // searched without subfolders, as the compiler does
    std::vector<std::filesystem::path> IncludeFolders;
    // DCC_Namespace: replaces the default unit scope names for the project's files.
    std::optional<std::vector<std::u16string>> UnitScopeNames;
    std::u16string DelphiVersion;  // the registry version of the Delphi that wrote the project; empty: not known
    bool FreePascal = false;       // a Lazarus or Free Pascal project: its .pp and .lpr files are sources too
    std::string Error;             // why a project file could not be read (naming it); empty when all were read

    // Adds AOther's folders and settings to these (several project files in one folder count together).
    void Merge(const ProjectSettings& AOther);
};

// True for ".dproj", ".dpk", ".lpi" and ".lpk", ASCII letters without case.
bool IsProjectFile(const std::filesystem::path& APath);

// The settings of one project file, for the configuration and platform it
// names as its defaults. Relative folders are taken from the file's folder;
// folders named through macros that cannot be known here are left out.
// Throws FileError naming the file when it cannot be read.
ProjectSettings ReadProjectFile(const std::filesystem::path& AFile);

// The project files of AFolder itself, read together; nullptr when it holds
// none. One that cannot be read is named in Error.
std::shared_ptr<const ProjectSettings> ProjectSettingsIn(const std::filesystem::path& AFolder);

// The project that sources of a folder belong to: the project files of the
// folder, or of the nearest folder above it that has any (NearestFolderSearch).
class ProjectLookup {
public:
    // nullptr when no project file is found.
    std::shared_ptr<const ProjectSettings> For(const std::filesystem::path& AFolder) { return FSearch.For(AFolder); }

private:
    NearestFolderSearch<std::shared_ptr<const ProjectSettings>> FSearch{ProjectSettingsIn};
};

}  // namespace quorvel::files
