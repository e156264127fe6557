#include "SourceFormatter.h"

#include <map>
#include <mutex>

#include "FileError.h"
#include "PathText.h"
#include "SearchDirectives.h"
#include "TextFile.h"
#include "UnitIndexCache.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

// The catalog of a set of compiler trees is made once and shared while any
// formatter holds it: every project of a run searches the same trees.
std::shared_ptr<const FileUnitCatalog> TreeCatalog(const std::vector<CompilerSourceTree>& ATrees) {
    static std::mutex lock;
    static std::map<std::u16string, std::weak_ptr<const FileUnitCatalog>> made;
    std::u16string key;
    UnitSearchFolders folders;
    for (const CompilerSourceTree& tree : ATrees) {
        key += PathDisplayText(tree.Folder) + (tree.WithSubfolders ? u"/**;" : u";");
        (tree.WithSubfolders ? folders.Deep : folders.Shallow).push_back(tree.Folder);
    }
    folders.IndexCacheFolder = DefaultUnitIndexFolder();
    folders.ShallowAreProjects = false;
    const std::lock_guard guard(lock);
    if (auto catalog = made[key].lock()) return catalog;
    auto catalog = std::make_shared<const FileUnitCatalog>(folders);
    made[key] = catalog;
    return catalog;
}

std::vector<fs::path> ExistingFolders(const std::vector<fs::path>& AFolders) {
    std::vector<fs::path> existing;
    for (const fs::path& folder : AFolders)
        if (IsExistingFolder(folder)) existing.push_back(folder);
    return existing;
}

// AFolder is one of AFolders or lies below one.
bool IsWithinAny(const fs::path& AFolder, const std::vector<fs::path>& AFolders) {
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(AFolder, error);
    for (const fs::path& above : AFolders) {
        const fs::path relative = folder.lexically_relative(fs::weakly_canonical(above, error));
        if (!relative.empty() && *relative.begin() != "..") return true;
    }
    return false;
}

}  // namespace

bool NeedsCatalog(const TFormatOptions& AOptions) {
    return AOptions.KeepNameResolution || AOptions.KeepInitOrder || !AOptions.UnitGroups.empty() ||
           AOptions.DeclaredUnitCase || AOptions.UnitScopeWriting != TUnitScopeWriting::AsWritten ||
           AOptions.FindsUnneededUnits();
}

SourceFormatter::SharedUnits SourceFormatter::UnitsFor(const FormatSetup& ASetup, const std::vector<fs::path>& AFileFolders,
                                                      std::u16string_view ADelphiVersion) {
    SharedUnits units;
    if (!NeedsCatalog(ASetup.Options)) return units;
    if (ASetup.DefaultUnitsPath) {
        units.Trees = ThisComputersCompilers().TreesFor(ADelphiVersion);
        // A tree the units path already holds is searched there, not twice.
        std::erase_if(units.Trees, [&](const CompilerSourceTree& ATree) { return IsWithinAny(ATree.Folder, ASetup.UnitsPath); });
    }
    units.Catalog = std::make_shared<const FileUnitCatalog>(UnitSearchFolders{AFileFolders, ASetup.UnitsPath, {}, DefaultUnitIndexFolder()},
                                                            units.Trees.empty() ? nullptr : TreeCatalog(units.Trees));
    auto engine = std::make_shared<TQuorvel>(ASetup.Options);
    engine->SetUnitCatalog(units.Catalog.get());
    units.Engine = std::move(engine);
    return units;
}

SourceFormatter::SourceFormatter(FormatSetup ASetup, const std::vector<fs::path>& AFileFolders,
                                 std::shared_ptr<const ProjectSettings> AProject)
    : SourceFormatter(ASetup, UnitsFor(ASetup, AFileFolders, AProject ? AProject->DelphiVersion : u""), AProject) {}

SourceFormatter::SourceFormatter(FormatSetup ASetup, const SharedUnits& AShared,
                                 std::shared_ptr<const ProjectSettings> AProject)
    : FProject(std::move(AProject)), FEngine(std::move(ASetup.Options)) {
    if (FProject && FProject->UnitScopeNames && !ASetup.UnitScopesGiven) {
        TFormatOptions options = FEngine.Options();
        options.UnitScopeNames = *FProject->UnitScopeNames;
        FEngine.SetOptions(std::move(options));
    }
    if (!NeedsCatalog(FEngine.Options()) || !AShared.Catalog) return;
    FTrees = AShared.Trees;
    FCatalog = AShared.Catalog;
    if (FProject) {
        // The compiler passes over search path folders that do not exist; so does the catalog.
        const UnitSearchFolders own{ExistingFolders(FProject->UnitFolders), {}, ExistingFolders(FProject->IncludeFolders)};
        if (!own.Shallow.empty() || !own.Includes.empty())
            FCatalog = std::make_shared<const FileUnitCatalog>(own, AShared.Catalog);
    }
    if (FCatalog == AShared.Catalog && AShared.Engine) {
        TFormatOptions options = FEngine.Options();
        FEngine = *AShared.Engine;
        FEngine.SetOptions(std::move(options));
    } else {
        FEngine.SetUnitCatalog(FCatalog.get());
    }
}

// One copy of the engine per file: threads share nothing but the catalog and
// its facts, and notes stay with their file. A file naming folders of its own
// ({$UNITPATH}, {$INCLUDEPATH}) gets a catalog of its own over the shared one.
template <typename Run>
auto SourceFormatter::WithEngine(ByteView ASearchText, const fs::path& AFile, const NoteSink& ANotes,
                                 const Run& ARun) const {
    if (FProject && !FProject->Error.empty()) throw FileError(FProject->Error);
    TQuorvel engine = FEngine;
    engine.SetOnClauseNote(ANotes);
    if (!FCatalog) return ARun(engine);
    const fs::path folder = AFile.parent_path();
    const SearchDirectives directives = FindSearchDirectives(ASearchText, folder);
    if (directives.Empty()) {
        engine.SetIncludeReader(FCatalog->IncludeReaderFor(folder));
        return ARun(engine);
    }
    UnitSearchFolders own{ExistingFolders(directives.UnitFolders), {}, ExistingFolders(directives.IncludeFolders)};
    if (FProject) {
        const std::vector<fs::path> projectIncludes = ExistingFolders(FProject->IncludeFolders);
        own.Includes.insert(own.Includes.end(), projectIncludes.begin(), projectIncludes.end());
    }
    const FileUnitCatalog catalog(own, FCatalog);
    engine.SetUnitCatalog(&catalog);
    engine.SetIncludeReader(catalog.IncludeReaderFor(folder));
    auto result = ARun(engine);
    catalog.PassUnitsWithoutSourceTo(*FCatalog);
    return result;
}

SourceRewrite SourceFormatter::Rewrite(const Bytes& ABytes, const fs::path& AFile, const NoteSink& ANotes) const {
    return WithEngine(ABytes, AFile, ANotes,
                      [&](const TQuorvel& AEngine) { return RewriteSourceBytes(ABytes, AEngine); });
}

std::u16string SourceFormatter::Format(const std::u16string& AText, const fs::path& AFile,
                                       const NoteSink& ANotes) const {
    // The directives are ASCII: the text's low bytes show them.
    Bytes ascii;
    ascii.reserve(AText.size());
    for (char16_t c : AText) ascii.push_back(c < 0x80 ? static_cast<std::uint8_t>(c) : 0x3F);
    return WithEngine(ascii, AFile, ANotes, [&](const TQuorvel& AEngine) { return AEngine.F_FormatSource(AText); });
}

}  // namespace quorvel::files
