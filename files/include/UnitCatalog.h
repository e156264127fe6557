#pragma once
// Where the units named in clauses are found on disk: an index of the Pascal
// sources (".pas", ".pp") and include files (".inc") below the search folders,
// and what each unit's interface declares, read once on first use.

#include <cstddef>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "QuorvelCore.h"
#include "UnitInterface.h"

namespace quorvel::files {

struct UnitSearchFolders {
    std::vector<std::filesystem::path> Shallow;  // searched without subfolders: the folders of the files formatted
    std::vector<std::filesystem::path> Deep;     // searched with all subfolders: the user's units path
};

// Safe to use from several threads once constructed.
class FileUnitCatalog final : public TUnitCatalog {
public:
    // Throws FileError when a deep folder does not exist: a mistyped units path
    // would otherwise quietly allow every reordering.
    explicit FileUnitCatalog(const UnitSearchFolders& AFolders);
    ~FileUnitCatalog() override;

    // The units are matched by file name without its extension, ignoring ASCII
    // case. Several sources of one name (one per platform, say) count together:
    // declaring too much only keeps more of a clause's order.
    const TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override;
    void NoteUnitWithoutSource(std::u16string_view AUnitName) const override;
    // As the `unit` heading of its first source spells it, read once; its file name when it has none.
    std::u16string F_DeclaredName(std::u16string_view AUnitName) const override;
    // A source of it lies directly in one of the shallow folders (those of the files formatted).
    bool F_IsProjectUnit(std::u16string_view AUnitName) const override;

    // Reads the include files named in a source of AFolder: beside it first,
    // then by file name below the search folders.
    TIncludeReader IncludeReaderFor(const std::filesystem::path& AFolder) const;

    // Distinct clause units (ignoring ASCII case) whose source was not found.
    std::size_t UnitsWithoutSource() const;
    // The same over several catalogs (nullptr ones count nothing): a unit missing from two counts once.
    static std::size_t UnitsWithoutSource(const std::vector<const FileUnitCatalog*>& ACatalogs);

    // The distinct folders that hold AFiles, in the order first met.
    static std::vector<std::filesystem::path> FoldersOf(const std::vector<std::filesystem::path>& AFiles);

private:
    struct Unit;
    using PathList = std::vector<std::filesystem::path>;

    void IndexFolder(const std::filesystem::path& AFolder, bool ARecursive);
    void IndexFile(const std::filesystem::path& AFile);
    TIdentifierSet ReadUnit(const PathList& ASources) const;
    std::optional<std::u16string> ReadInclude(const std::filesystem::path& AUnitFolder,
                                              std::u16string_view AName) const;

    std::unordered_map<std::u16string, std::unique_ptr<Unit>> FUnits;  // by folded name
    std::unordered_map<std::u16string, PathList> FIncludes;           // by folded file name
    std::unordered_set<std::filesystem::path::string_type> FProjectFolders;  // the shallow ones, normalised
    mutable std::mutex FMissingLock;
    mutable std::unordered_set<std::u16string> FMissing;
};

}  // namespace quorvel::files
