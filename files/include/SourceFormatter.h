#pragma once
// Formats sources with one set of options: owns the engine and the unit
// catalog the name rule looks units up in, and gives each file the include
// files of its own folder. The batch run, standard input and the window's
// preview all format through it.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Bytes.h"
#include "CompilerSources.h"
#include "FormatOptions.h"
#include "ProjectSettings.h"
#include "QuorvelCore.h"
#include "SourceFormatting.h"
#include "UnitCatalog.h"

namespace quorvel::files {

// The options of a format and where the units named in clauses are found:
// the folders of the files formatted, and UnitsPath with its subfolders.
struct FormatSetup {
    TFormatOptions Options = {};
    std::vector<std::filesystem::path> UnitsPath = {};
    // Also the sources of the compilers installed on this computer (DefaultUnitsPath).
    bool DefaultUnitsPath = false;
    // Options.UnitScopeNames were chosen by the user: a project's own scope names do not replace them.
    bool UnitScopesGiven = false;
};

// The name rule, the start order, groups ("project") and the written unit
// names all ask the unit catalog, and the project's files with it.
bool NeedsCatalog(const TFormatOptions& AOptions);

using NoteSink = std::function<void(const TClauseNote& ANote)>;

// Safe to use from several threads once made.
class SourceFormatter {
public:
    // AFileFolders: the folders of the files to be formatted, searched without
    // subfolders. AProject: the project those files belong to, whose search
    // path, include path and unit scope names count (nullptr: none). Throws
    // FileError when a folder of the units path does not exist: a mistyped
    // path would quietly allow every reordering.
    SourceFormatter(FormatSetup ASetup, const std::vector<std::filesystem::path>& AFileFolders,
                    std::shared_ptr<const ProjectSettings> AProject = nullptr);

    // The units of a setup that all its projects share: the files' folders,
    // the units path and the compilers' trees (for the Delphi of
    // ADelphiVersion, the newest when empty), read once for them all.
    struct SharedUnits {
        std::vector<CompilerSourceTree> Trees;
        std::shared_ptr<const FileUnitCatalog> Catalog;
        // An engine searching Catalog: the formatters that search it too copy
        // it, so that what it learns of the units is learnt once for them all.
        std::shared_ptr<const TQuorvel> Engine;
    };
    // Throws FileError as the constructor does.
    static SharedUnits UnitsFor(const FormatSetup& ASetup, const std::vector<std::filesystem::path>& AFileFolders,
                                std::u16string_view ADelphiVersion);
    // As above, a project's own folders searched over AShared (which names
    // no unit twice for the project's files, however many projects share it).
    SourceFormatter(FormatSetup ASetup, const SharedUnits& AShared, std::shared_ptr<const ProjectSettings> AProject);

    // The bytes of the file AFile (see RewriteSourceBytes); its notes go to ANotes.
    // Throws FileError when its project file could not be read.
    SourceRewrite Rewrite(const Bytes& ABytes, const std::filesystem::path& AFile, const NoteSink& ANotes) const;
    // The decoded text of AFile, formatted.
    std::u16string Format(const std::u16string& AText, const std::filesystem::path& AFile,
                          const NoteSink& ANotes) const;

    const TFormatOptions& Options() const { return FEngine.Options(); }
    // nullptr when no option asks the catalog.
    const FileUnitCatalog* Catalog() const { return FCatalog.get(); }
    // The compilers' source trees searched (empty when names are not kept resolving).
    const std::vector<CompilerSourceTree>& CompilerTrees() const { return FTrees; }
    const ProjectSettings* Project() const { return FProject.get(); }

private:
    template <typename Run>
    auto WithEngine(ByteView ASearchText, const std::filesystem::path& AFile, const NoteSink& ANotes,
                    const Run& ARun) const;

    std::shared_ptr<const ProjectSettings> FProject;
    std::vector<CompilerSourceTree> FTrees;
    std::shared_ptr<const FileUnitCatalog> FCatalog;
    TQuorvel FEngine;
};

}  // namespace quorvel::files
