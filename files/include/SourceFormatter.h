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
#include "FormatOptions.h"
#include "QuorvelCore.h"
#include "SourceFormatting.h"
#include "UnitCatalog.h"

namespace quorvel::files {

// The options of a format and where the units named in clauses are found:
// the folders of the files formatted, and UnitsPath with its subfolders.
struct FormatSetup {
    TFormatOptions Options = {};
    std::vector<std::filesystem::path> UnitsPath = {};
};

using NoteSink = std::function<void(const TClauseNote& ANote)>;

// Safe to use from several threads once made.
class SourceFormatter {
public:
    // AFileFolders: the folders of the files to be formatted, searched without
    // subfolders. Throws FileError when a folder of the units path does not
    // exist: a mistyped path would quietly allow every reordering.
    SourceFormatter(FormatSetup ASetup, const std::vector<std::filesystem::path>& AFileFolders);

    // The bytes of the file AFile (see RewriteSourceBytes); its notes go to ANotes.
    SourceRewrite Rewrite(const Bytes& ABytes, const std::filesystem::path& AFile, const NoteSink& ANotes) const;
    // The decoded text of AFile, formatted.
    std::u16string Format(const std::u16string& AText, const std::filesystem::path& AFile,
                          const NoteSink& ANotes) const;

    const TFormatOptions& Options() const { return FEngine.Options(); }
    // nullptr when no option asks the catalog.
    const FileUnitCatalog* Catalog() const { return FCatalog.get(); }

private:
    TQuorvel EngineFor(const std::filesystem::path& AFile, const NoteSink& ANotes) const;

    std::unique_ptr<FileUnitCatalog> FCatalog;
    TQuorvel FEngine;
};

}  // namespace quorvel::files
