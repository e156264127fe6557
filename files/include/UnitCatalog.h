#pragma once
// Where the units named in clauses are found on disk: an index of the Pascal
// sources (".pas", ".pp") and include files (".inc") below the search folders,
// and what each unit's interface declares, read once on first use.

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "QuorvelCore.h"
#include "UnitIndexCache.h"
#include "UnitInterface.h"

namespace quorvel::files {

struct UnitSearchFolders {
    std::vector<std::filesystem::path> Shallow;  // searched without subfolders: the folders of the files formatted
    std::vector<std::filesystem::path> Deep;     // searched with all subfolders: the user's units path
    // Searched for include files, after the folder of the file that names one
    // and before any include file of that name elsewhere: a project's include path.
    std::vector<std::filesystem::path> Includes = {};
    // Where the listings of the deep folders and what was read from their
    // units are kept between runs (UnitIndexCache); empty: nowhere.
    std::filesystem::path IndexCacheFolder = {};
    // The shallow folders are the project's own (the "project" group), not a compiler's.
    bool ShallowAreProjects = true;
};

// Safe to use from several threads once constructed.
class UnitIndexCache;
struct UnitReadRecord;

class FileUnitCatalog final : public TUnitCatalog {
public:
    // Throws FileError when a deep folder does not exist: a mistyped units path
    // would otherwise quietly allow every reordering.
    // ABase, when given, is searched too: a catalog of the compiler's own
    // sources, made once and shared by the catalogs of several projects.
    explicit FileUnitCatalog(const UnitSearchFolders& AFolders,
                             std::shared_ptr<const FileUnitCatalog> ABase = nullptr);
    // Keeps what this catalog listed and read for the next run.
    ~FileUnitCatalog() override;
    // The same now (its base's too); later saves write only what came since.
    void SaveCache() const;

    // The units are matched by file name without its extension, ignoring ASCII
    // case. Several sources of one name (one per platform, say) count together:
    // declaring too much only keeps more of a clause's order. A unit in both
    // this catalog and its base counts with both its sources.
    const TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override;
    const TUnitLinks* F_FindUnitLinks(std::u16string_view AUnitName) const override;
    void NoteUnitWithoutSource(std::u16string_view AUnitName) const override;
    // As the `unit` heading of its first source spells it, read once; its file name when it has none.
    std::u16string F_DeclaredName(std::u16string_view AUnitName) const override;
    // A source of it lies directly in one of the shallow folders (those of the files formatted).
    bool F_IsProjectUnit(std::u16string_view AUnitName) const override;

    // Reads the include files named in a source of AFolder the way the
    // compiler looks: the name as written, then with ".inc", ".pp" and ".pas",
    // in AFolder, then in the include folders. Not found there, an include of
    // that name below the search folders counts, the ones nearest to AFolder
    // (a source tree's shared include folders: rtl/inc, rtl/win/wininc);
    // then the base's.
    TIncludeReader IncludeReaderFor(const std::filesystem::path& AFolder) const;

    // Notes the units this catalog found no source for in AOther too.
    void PassUnitsWithoutSourceTo(const FileUnitCatalog& AOther) const;
    // Distinct clause units (ignoring ASCII case) whose source was not found.
    std::size_t UnitsWithoutSource() const;
    // The same over several catalogs (nullptr ones count nothing): a unit missing from two counts once.
    static std::size_t UnitsWithoutSource(const std::vector<const FileUnitCatalog*>& ACatalogs);

    // The distinct folders that hold AFiles, in the order first met.
    static std::vector<std::filesystem::path> FoldersOf(const std::vector<std::filesystem::path>& AFiles);

private:
    struct Unit;
    using NativePath = std::filesystem::path::string_type;
    using PathList = std::vector<NativePath>;  // cheaper by the thousand than paths
    // The files an include name leads to; Beside: the one file beside the source.
    struct IncludeFiles {
        PathList Files;
        bool Beside = false;
    };

    void IndexFolder(const std::filesystem::path& AFolder, bool ARecursive);
    PathList ListFolder(const std::filesystem::path& AFolder, bool ARecursive) const;
    void IndexFile(const NativePath& AFile, bool AInDeepFolder);
    bool BelowDeepFolder(const std::filesystem::path& AFile) const;
    bool IdentityBelowDeepFolder(const NativePath& AIdentity) const;  // as platform::PathIdentity gives it
    bool IsProjectFolder(const NativePath& AFolderIdentity) const;
    void ReadFacts(const std::u16string& AFoldedName, Unit& AUnit) const;
    bool StillHolds(const UnitReadRecord& ARecord, const PathList& ASources) const;
    TIdentifierSet ReadUnit(const PathList& ASources, UnitReadRecord* ARecord) const;
    IncludeFiles FindInclude(const std::filesystem::path& AUnitFolder, std::u16string_view AName) const;
    IncludeFiles SearchInclude(const std::filesystem::path& AUnitFolder, std::u16string_view AName) const;
    std::optional<FileStamp> StampOfFile(const NativePath& AFile) const;
    PathList FindIncludeByName(const std::filesystem::path& AUnitFolder, std::u16string_view AName) const;
    std::optional<std::u16string> ReadInclude(const std::filesystem::path& AUnitFolder, std::u16string_view AName,
                                              UnitReadRecord* ARecord) const;

    std::unique_ptr<UnitIndexCache> FCache;
    std::vector<std::filesystem::path::string_type> FDeepRoots;  // PathIdentity, ending in a separator

    std::unordered_map<std::u16string, std::unique_ptr<Unit>> FUnits;  // by folded name
    std::unordered_map<std::u16string, PathList> FIncludes;           // by folded file name
    std::vector<std::filesystem::path> FIncludeFolders;
    std::shared_ptr<const FileUnitCatalog> FBase;
    std::unordered_set<std::filesystem::path::string_type> FProjectFolders;  // PathIdentity of the shallow ones, ending in a separator
    mutable std::mutex FMissingLock;
    mutable std::unordered_set<std::u16string> FMissing;
    // What the file system answered once in the catalog's life: many units
    // read the same include files, and many sources name the same includes.
    mutable std::mutex FAskedLock;
    mutable std::unordered_map<NativePath, std::optional<FileStamp>> FStamps;
    mutable std::map<std::pair<NativePath, std::u16string>, IncludeFiles> FIncludesFound;
};

}  // namespace quorvel::files
