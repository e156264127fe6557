#include "UnitCatalog.h"

#include <algorithm>
#include <system_error>

#include "AsciiCase.h"
#include "FileBytes.h"
#include "FileError.h"
#include "FolderListing.h"
#include "PathText.h"
#include "SourceCodec.h"
#include "TextFile.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

bool HasExtension(const fs::path& APath, std::u16string_view AFoldedExtension) {
    return FoldAscii(PathDisplayText(APath.extension())) == AFoldedExtension;
}

std::optional<std::u16string> ReadSourceText(const fs::path& APath) { return TryReadTextFile(APath); }

// How many leading folders two paths share.
std::size_t SharedFolders(const fs::path& ALeft, const fs::path& ARight) {
    std::size_t shared = 0;
    for (auto l = ALeft.begin(), r = ARight.begin(); l != ALeft.end() && r != ARight.end() && *l == *r; ++l, ++r)
        ++shared;
    return shared;
}

// The names the compiler tries for `{$I name}`, in its order.
std::vector<std::u16string> IncludeNames(std::u16string_view AName) {
    std::vector<std::u16string> names{std::u16string(AName)};
    if (!fs::path(std::u16string(AName)).has_extension())
        for (const char16_t* extension : {u".inc", u".pp", u".pas"}) names.push_back(std::u16string(AName) + extension);
    return names;
}

}  // namespace

struct FileUnitCatalog::Unit {
    PathList Sources;
    std::once_flag Read;
    TIdentifierSet Identifiers;
};

FileUnitCatalog::FileUnitCatalog(const UnitSearchFolders& AFolders, std::shared_ptr<const FileUnitCatalog> ABase)
    : FIncludeFolders(AFolders.Includes), FBase(std::move(ABase)) {
    for (const fs::path& folder : AFolders.Deep) {
        std::error_code error;
        if (!fs::is_directory(folder, error))
            throw MakeFileError("Cannot search units folder", folder, "it is not an existing folder");
        IndexFolder(folder, true);
    }
    for (const fs::path& folder : AFolders.Shallow) IndexFolder(folder, false);
}

FileUnitCatalog::~FileUnitCatalog() = default;

void FileUnitCatalog::IndexFolder(const fs::path& AFolder, bool ARecursive) {
    // Unreadable folders are passed over: this only widens what is known.
    const auto catalogued = [](const fs::path& AName) {
        return HasExtension(AName, u".PAS") || HasExtension(AName, u".PP") || HasExtension(AName, u".INC");
    };
    try {
        for (const fs::path& file : ListFiles(AFolder, ARecursive, catalogued)) IndexFile(file);
    } catch (const FileError&) {
    }
}

void FileUnitCatalog::IndexFile(const fs::path& AFile) {
    if (HasExtension(AFile, u".PAS") || HasExtension(AFile, u".PP")) {
        std::unique_ptr<Unit>& unit = FUnits[FoldAscii(PathDisplayText(AFile.stem()))];
        if (!unit) unit = std::make_unique<Unit>();
        if (std::find(unit->Sources.begin(), unit->Sources.end(), AFile) == unit->Sources.end())
            unit->Sources.push_back(AFile);
    } else if (HasExtension(AFile, u".INC")) {
        PathList& includes = FIncludes[FoldAscii(PathDisplayText(AFile.filename()))];
        if (std::find(includes.begin(), includes.end(), AFile) == includes.end()) includes.push_back(AFile);
    }
}

const TIdentifierSet* FileUnitCatalog::F_FindUnit(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return FBase ? FBase->F_FindUnit(AUnitName) : nullptr;
    Unit& unit = *found->second;
    std::call_once(unit.Read, [&] {
        unit.Identifiers = ReadUnit(unit.Sources);
        if (const TIdentifierSet* base = FBase ? FBase->F_FindUnit(AUnitName) : nullptr)
            unit.Identifiers.insert(base->begin(), base->end());
    });
    return &unit.Identifiers;
}

TIdentifierSet FileUnitCatalog::ReadUnit(const PathList& ASources) const {
    TIdentifierSet identifiers;
    for (const fs::path& source : ASources) {
        const std::optional<std::u16string> text = ReadSourceText(source);
        if (!text) continue;
        identifiers.merge(F_InterfaceIdentifiers(*text, IncludeReaderFor(source.parent_path())));
    }
    return identifiers;
}

TIncludeReader FileUnitCatalog::IncludeReaderFor(const fs::path& AFolder) const {
    return [this, AFolder](std::u16string_view AName) { return ReadInclude(AFolder, AName); };
}

std::optional<std::u16string> FileUnitCatalog::ReadInclude(const fs::path& AUnitFolder,
                                                           std::u16string_view AName) const {
    std::vector<fs::path> folders{AUnitFolder};
    folders.insert(folders.end(), FIncludeFolders.begin(), FIncludeFolders.end());
    for (const fs::path& folder : folders) {
        for (const std::u16string& name : IncludeNames(AName))
            if (IsExistingFile(folder / fs::path(name))) return ReadSourceText(folder / fs::path(name));
    }
    if (auto text = ReadIncludeByName(AUnitFolder, AName)) return text;
    return FBase ? FBase->ReadIncludeByName(AUnitFolder, AName) : std::nullopt;
}

// For sources that name their include folders on the compiler's command line
// instead: the include files of that name below the search folders that are
// nearest to the unit, all of them, as declaring too much only keeps order.
std::optional<std::u16string> FileUnitCatalog::ReadIncludeByName(const fs::path& AUnitFolder,
                                                                 std::u16string_view AName) const {
    for (const std::u16string& name : IncludeNames(fs::path(std::u16string(AName)).filename().u16string())) {
        const std::u16string folded = FoldAscii(PathDisplayText(fs::path(name)));
        PathList found;
        if (const auto includes = FIncludes.find(folded); includes != FIncludes.end()) found = includes->second;
        const fs::path named(name);
        if (HasExtension(named, u".PP") || HasExtension(named, u".PAS")) {
            if (const auto unit = FUnits.find(FoldAscii(PathDisplayText(named.stem()))); unit != FUnits.end())
                for (const fs::path& source : unit->second->Sources)
                    if (FoldAscii(PathDisplayText(source.filename())) == folded) found.push_back(source);
        }
        if (found.empty()) continue;
        std::size_t nearest = 0;
        for (const fs::path& path : found) nearest = std::max(nearest, SharedFolders(path.parent_path(), AUnitFolder));
        std::u16string joined;
        for (const fs::path& path : found) {
            if (SharedFolders(path.parent_path(), AUnitFolder) != nearest) continue;
            if (const auto text = ReadSourceText(path)) joined += *text + u"\n";
        }
        return joined;
    }
    return std::nullopt;
}

void FileUnitCatalog::NoteUnitWithoutSource(std::u16string_view AUnitName) const {
    const std::lock_guard lock(FMissingLock);
    FMissing.insert(FoldAscii(AUnitName));
}

void FileUnitCatalog::PassUnitsWithoutSourceTo(const FileUnitCatalog& AOther) const {
    std::unordered_set<std::u16string> missing;
    {
        const std::lock_guard lock(FMissingLock);
        missing = FMissing;
    }
    for (const std::u16string& name : missing) AOther.NoteUnitWithoutSource(name);
}

std::size_t FileUnitCatalog::UnitsWithoutSource() const {
    const std::lock_guard lock(FMissingLock);
    return FMissing.size();
}

std::size_t FileUnitCatalog::UnitsWithoutSource(const std::vector<const FileUnitCatalog*>& ACatalogs) {
    std::unordered_set<std::u16string> missing;
    for (const FileUnitCatalog* catalog : ACatalogs) {
        if (!catalog) continue;
        const std::lock_guard lock(catalog->FMissingLock);
        missing.insert(catalog->FMissing.begin(), catalog->FMissing.end());
    }
    return missing.size();
}

std::vector<fs::path> FileUnitCatalog::FoldersOf(const std::vector<fs::path>& AFiles) {
    std::vector<fs::path> folders;
    std::unordered_set<fs::path::string_type> seen;
    for (const fs::path& file : AFiles) {
        fs::path folder = file.parent_path();
        if (folder.empty()) folder = ".";
        if (seen.insert(folder.lexically_normal().native()).second) folders.push_back(std::move(folder));
    }
    return folders;
}

}  // namespace quorvel::files
