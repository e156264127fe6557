#pragma once
// The source trees of the Pascal compilers installed on this computer, found
// without being told: Delphi / RAD Studio through the registry, Lazarus
// through its settings, Free Pascal through fpc.cfg, and Debian's packaged
// trees. Their units are what a project's clauses mostly name.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::files {

struct CompilerSourceTree {
    std::u16string Name;  // for the log: "Delphi 12 sources", "Free Pascal 3.2.2 sources"
    std::filesystem::path Folder;
    bool WithSubfolders = true;       // false for a single folder of a search path (fpc.cfg's -Fu)
    std::u16string DelphiVersion = {};  // the registry's version ("23.0") of a Delphi tree; empty otherwise
};

// Where installations are looked for. SystemInstallPlaces() gives the
// computer's own; tests give fakes.
struct InstallPlaces {
    // The subkeys of HKEY_CURRENT_USER\<key>, and a string value of one.
    std::function<std::vector<std::u16string>(std::u16string_view AKey)> RegistrySubkeys;
    std::function<std::optional<std::u16string>(std::u16string_view AKey, std::u16string_view AName)> RegistryString;
    std::vector<std::filesystem::path> LazarusSettingsFolders;  // each may hold environmentoptions.xml
    std::vector<std::filesystem::path> FpcConfigFiles;           // fpc.cfg and the like, the first found counts
    std::vector<std::filesystem::path> FpcSourceRoots;           // one subfolder per version: /usr/share/fpcsrc
    std::vector<std::filesystem::path> LazarusRoots;             // one subfolder per version: /usr/lib/lazarus
    std::optional<std::filesystem::path> Home;                   // "~" in fpc.cfg
};

// The places of this computer. Where QUORVEL_SYSTEM_ROOT is set (tests), the
// fixed folders (/usr, /etc, the home folder, %LOCALAPPDATA%) are taken below
// it instead; the registry is read as it is.
InstallPlaces SystemInstallPlaces();

struct InstalledCompilers {
    std::vector<CompilerSourceTree> Delphi;  // newest first
    std::vector<CompilerSourceTree> Others;  // Free Pascal and Lazarus

    // The trees a project's units are looked for in: the Delphi whose
    // registry version is ADelphiVersion (the newest when it is empty or not
    // installed) and every other tree.
    std::vector<CompilerSourceTree> TreesFor(std::u16string_view ADelphiVersion = {}) const;
};

// Never throws: a place that cannot be read adds nothing. Only existing folders are given.
InstalledCompilers FindInstalledCompilers(const InstallPlaces& APlaces);

// Found once in the places of this computer, on first use.
const InstalledCompilers& ThisComputersCompilers();

// "Delphi 12" for the registry's "23.0", and so on back to Delphi 2005 ("3.0"); "BDS <version>" for others.
std::u16string DelphiProductName(std::u16string_view AVersion);
// The registry version of the Delphi that writes AProjectVersion (a .dproj's
// <ProjectVersion>, "19.5"), or nothing when it is not known.
std::optional<std::u16string> DelphiVersionOfProject(std::u16string_view AProjectVersion);

}  // namespace quorvel::files
