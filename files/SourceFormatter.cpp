#include "SourceFormatter.h"

namespace quorvel::files {

SourceFormatter::SourceFormatter(FormatSetup ASetup, const std::vector<std::filesystem::path>& AFileFolders)
    : FEngine(std::move(ASetup.Options)) {
    // The name rule, groups ("project") and the written names all ask the catalog.
    const TFormatOptions& options = FEngine.Options();
    if (!options.KeepNameResolution && options.UnitGroups.empty() && !options.DeclaredUnitCase &&
        options.UnitScopeWriting == TUnitScopeWriting::AsWritten) {
        return;
    }
    FCatalog = std::make_unique<FileUnitCatalog>(UnitSearchFolders{AFileFolders, std::move(ASetup.UnitsPath)});
    FEngine.SetUnitCatalog(FCatalog.get());
}

// One copy of the engine per file: threads share nothing but the catalog and
// its facts, and notes stay with their file.
TQuorvel SourceFormatter::EngineFor(const std::filesystem::path& AFile, const NoteSink& ANotes) const {
    TQuorvel engine = FEngine;
    engine.SetOnClauseNote(ANotes);
    if (FCatalog) engine.SetIncludeReader(FCatalog->IncludeReaderFor(AFile.parent_path()));
    return engine;
}

SourceRewrite SourceFormatter::Rewrite(const Bytes& ABytes, const std::filesystem::path& AFile,
                                       const NoteSink& ANotes) const {
    return RewriteSourceBytes(ABytes, EngineFor(AFile, ANotes));
}

std::u16string SourceFormatter::Format(const std::u16string& AText, const std::filesystem::path& AFile,
                                       const NoteSink& ANotes) const {
    return EngineFor(AFile, ANotes).F_FormatSource(AText);
}

}  // namespace quorvel::files
