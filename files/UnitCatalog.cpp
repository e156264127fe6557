#include "UnitCatalog.h"

#include <algorithm>
#include <system_error>

#include "AsciiCase.h"
#include "FileBytes.h"
#include "FileError.h"
#include "FolderListing.h"
#include "PathText.h"
#include "SourceCodec.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

bool HasExtension(const fs::path& APath, std::u16string_view AFoldedExtension) {
    return FoldAscii(PathDisplayText(APath.extension())) == AFoldedExtension;
}

// The text of a source by the run rule; bytes that are not the UTF-8 they claim
// to be are read as ANSI: only the identifiers matter here, and those are ASCII.
std::optional<std::u16string> ReadSourceText(const fs::path& APath) {
    try {
        const Bytes bytes = ReadFileBytes(APath);
        const DetectedEncoding found = DetectSourceEncoding(bytes);
        try {
            return DecodeSourceText(bytes, found.Encoding, found.MarkLength);
        } catch (const ContentError&) {
            return DecodeSourceText(bytes, SourceEncoding::Ansi, 0);
        }
    } catch (const FileError&) {
        return std::nullopt;
    }
}

}  // namespace

struct FileUnitCatalog::Unit {
    PathList Sources;
    std::once_flag Read;
    TIdentifierSet Identifiers;
    std::once_flag NameRead;
    std::u16string DeclaredName;
};

namespace {

std::filesystem::path::string_type FolderKey(const fs::path& AFolder) {
    const fs::path folder = AFolder.empty() ? fs::path(".") : AFolder;
    return folder.lexically_normal().native();
}

}  // namespace

FileUnitCatalog::FileUnitCatalog(const UnitSearchFolders& AFolders) {
    for (const fs::path& folder : AFolders.Deep) {
        std::error_code error;
        if (!fs::is_directory(folder, error))
            throw MakeFileError("Cannot search units folder", folder, "it is not an existing folder");
        IndexFolder(folder, true);
    }
    for (const fs::path& folder : AFolders.Shallow) IndexFolder(folder, false);
    for (const fs::path& folder : AFolders.Shallow) FProjectFolders.insert(FolderKey(folder));
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
    if (found == FUnits.end()) return nullptr;
    Unit& unit = *found->second;
    std::call_once(unit.Read, [&] { unit.Identifiers = ReadUnit(unit.Sources); });
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

// Beside the unit first, as the compiler looks; then any include file of that
// name below the search folders, for sources that name their include folders
// on the compiler's command line instead.
std::optional<std::u16string> FileUnitCatalog::ReadInclude(const fs::path& AUnitFolder,
                                                           std::u16string_view AName) const {
    const fs::path named(std::u16string{AName});
    std::vector<fs::path> candidates = {AUnitFolder / named};
    if (!named.has_extension()) candidates.push_back(AUnitFolder / fs::path(std::u16string(AName) + u".inc"));
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return ReadSourceText(candidate);
    }
    for (const std::u16string& name : {FoldAscii(PathDisplayText(named.filename())),
                                       FoldAscii(PathDisplayText(named.filename())) + u".INC"}) {
        const auto found = FIncludes.find(name);
        if (found == FIncludes.end()) continue;
        // Every include of that name counts: declaring too much only keeps order.
        std::u16string joined;
        for (const fs::path& path : found->second) {
            if (const auto text = ReadSourceText(path)) joined += *text + u"\n";
        }
        return joined;
    }
    return std::nullopt;
}

std::u16string FileUnitCatalog::F_DeclaredName(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return {};
    Unit& unit = *found->second;
    std::call_once(unit.NameRead, [&] {
        const fs::path& source = unit.Sources.front();
        if (const std::optional<std::u16string> text = ReadSourceText(source)) unit.DeclaredName = F_UnitHeadingName(*text);
        if (unit.DeclaredName.empty()) unit.DeclaredName = PathDisplayText(source.stem());
    });
    return unit.DeclaredName;
}

bool FileUnitCatalog::F_IsProjectUnit(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return false;
    const PathList& sources = found->second->Sources;
    return std::any_of(sources.begin(), sources.end(),
                       [this](const fs::path& ASource) { return FProjectFolders.contains(FolderKey(ASource.parent_path())); });
}

void FileUnitCatalog::NoteUnitWithoutSource(std::u16string_view AUnitName) const {
    const std::lock_guard lock(FMissingLock);
    FMissing.insert(FoldAscii(AUnitName));
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
