#include "UnitCatalog.h"

#include <algorithm>
#include <atomic>
#include <system_error>

#include "AsciiCase.h"
#include "FileError.h"
#include "FolderListing.h"
#include "PathText.h"
#include "TextFile.h"
#include "UnitIndexCache.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

bool HasExtension(const fs::path& APath, std::u16string_view AFoldedExtension) {
    return FoldAscii(PathDisplayText(APath.extension())) == AFoldedExtension;
}

// The folder's identity with a separator at its end, for telling what lies below it.
fs::path::string_type IdentityOfFolder(const fs::path& AFolder) {
    std::error_code error;
    fs::path::string_type identity = platform::PathIdentity(fs::absolute(AFolder, error));
    if (identity.empty() || identity.back() != fs::path::preferred_separator) {
        identity += fs::path::preferred_separator;
    }
    return identity;
}

#ifdef _WIN32
constexpr const wchar_t* kSeparators = L"\\/";
#else
constexpr const char* kSeparators = "/";
#endif

bool IsCatalogued(const fs::path& AName) {
    return HasExtension(AName, u".PAS") || HasExtension(AName, u".PP") || HasExtension(AName, u".INC");
}

// Notes the file as read for ARecord, when there is one.
void NoteRead(UnitReadRecord* ARecord, const NativePath& AFile) {
    if (ARecord == nullptr) return;
    const std::optional<FileStamp> stamp = StampOf(AFile);
    ARecord->FilesRead.emplace_back(AFile, stamp.value_or(FileStamp{0, -1}));
}

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

// "/POWERPC/SYSNR.INC" for "../powerpc/sysnr.inc": the folders a name gives, folded, with its file name.
std::u16string FoldedTail(const fs::path& ANamed) {
    std::u16string tail;
    for (const fs::path& part : ANamed) {
        const std::u16string text = PathDisplayText(part);
        if (text == u"." || text == u".." || text == u"/" || text == u"\\" || text.empty()) continue;
        tail += u'/';
        tail += FoldAscii(text);
    }
    return tail;
}

// Of the files of one name, those that end in the folders the name gives: an
// include of the sibling folder's file ("{$I ../powerpc/sysnr.inc}", itself in
// a sysnr.inc) would otherwise lead to every file of that name again, and to
// them again, until the include depth runs out.
std::vector<NativePath> EndingIn(const std::vector<NativePath>& AFiles, const fs::path& ANamed) {
    const std::u16string tail = FoldedTail(ANamed);
    if (tail.find(u'/', 1) == std::u16string::npos) return AFiles;  // a bare file name
    std::vector<NativePath> ending;
    for (const NativePath& file : AFiles) {
        std::u16string text = FoldAscii(PathDisplayText(fs::path(file)));
        std::replace(text.begin(), text.end(), u'\\', u'/');
        if (text.ends_with(tail)) ending.push_back(file);
    }
    return ending.empty() ? AFiles : ending;
}

}  // namespace

struct FileUnitCatalog::Unit {
    PathList Sources;
    bool OnlyInDeepFolders = true;  // only these are kept between runs: the project's own units change often
    std::once_flag Read;
    TIdentifierSet Identifiers;
    std::atomic<bool> IdentifiersRead = false;
    std::once_flag LinksRead;
    TUnitLinks Links;
    std::once_flag NameRead;
    std::u16string DeclaredName;
};

FileUnitCatalog::FileUnitCatalog(const UnitSearchFolders& AFolders, std::shared_ptr<const FileUnitCatalog> ABase)
    : FIncludeFolders(AFolders.Includes), FBase(std::move(ABase)) {
    if (!AFolders.IndexCacheFolder.empty() && !AFolders.Deep.empty()) {
        FCache = std::make_unique<UnitIndexCache>(AFolders.IndexCacheFolder, AFolders.Deep);
    }
    for (const fs::path& folder : AFolders.Deep) {
        std::error_code error;
        if (!fs::is_directory(folder, error))
            throw MakeFileError("Cannot search units folder", folder, "it is not an existing folder");
        IndexFolder(folder, true);
    }
    for (const fs::path& folder : AFolders.Deep) FDeepRoots.push_back(IdentityOfFolder(folder));
    for (const fs::path& folder : AFolders.Shallow) IndexFolder(folder, false);
    if (AFolders.ShallowAreProjects) {
        for (const fs::path& folder : AFolders.Shallow) FProjectFolders.insert(IdentityOfFolder(folder));
    }
}

// Below a deep folder of this catalog or of its base.
bool FileUnitCatalog::BelowDeepFolder(const fs::path& AFile) const {
    std::error_code error;
    return IdentityBelowDeepFolder(platform::PathIdentity(fs::absolute(AFile, error)));
}

bool FileUnitCatalog::IdentityBelowDeepFolder(const NativePath& AIdentity) const {
    const auto& file = AIdentity;
    for (const FileUnitCatalog* catalog = this; catalog != nullptr; catalog = catalog->FBase.get()) {
        if (std::any_of(catalog->FDeepRoots.begin(), catalog->FDeepRoots.end(),
                        [&file](const auto& ARoot) { return file.starts_with(ARoot); })) {
            return true;
        }
    }
    return false;
}

FileUnitCatalog::~FileUnitCatalog() { SaveCache(); }

void FileUnitCatalog::SaveCache() const {
    if (FCache) FCache->Save();
    if (FBase) FBase->SaveCache();
}

void FileUnitCatalog::IndexFolder(const fs::path& AFolder, bool ARecursive) {
    // Every file of a folder below a deep folder is below it too (the test
    // below): such a folder is not even listed.
    if (!ARecursive && IdentityBelowDeepFolder(IdentityOfFolder(AFolder))) return;
    for (const NativePath& file : ListFolder(AFolder, ARecursive)) {
        // A file the units path or the base lists already would only be read
        // twice, and not from the cache.
        if (ARecursive || !BelowDeepFolder(file)) IndexFile(file, ARecursive);
    }
}

// Unreadable folders are passed over: this only widens what is known.
FileUnitCatalog::PathList FileUnitCatalog::ListFolder(const fs::path& AFolder, bool ARecursive) const {
    if (ARecursive && FCache) {
        if (std::optional<PathList> cached = FCache->Listing(AFolder)) return std::move(*cached);
    }
    FolderListingRecord listing;
    const auto stamp = [&listing](const fs::path& AVisited) {
        listing.Folders.emplace_back(AVisited.native(), FolderTimeOf(AVisited).value_or(-1));
    };
    try {
        for (fs::path& file : ListFiles(AFolder, ARecursive, IsCatalogued, {}, stamp)) {
            listing.Files.push_back(std::move(file).native());
        }
    } catch (const FileError&) {
        return {};
    }
    if (ARecursive && FCache) FCache->StoreListing(AFolder, listing);
    return std::move(listing.Files);
}

void FileUnitCatalog::IndexFile(const NativePath& AFile, bool AInDeepFolder) {
    // One-part paths only: a whole path would be split into parts for nothing, thousands of times.
    const fs::path name(AFile.substr(AFile.find_last_of(kSeparators) + 1));
    if (HasExtension(name, u".PAS") || HasExtension(name, u".PP")) {
        std::unique_ptr<Unit>& unit = FUnits[FoldAscii(PathDisplayText(name.stem()))];
        if (!unit) unit = std::make_unique<Unit>();
        if (!AInDeepFolder) unit->OnlyInDeepFolders = false;
        if (std::find(unit->Sources.begin(), unit->Sources.end(), AFile) == unit->Sources.end())
            unit->Sources.push_back(AFile);
    } else if (HasExtension(name, u".INC")) {
        PathList& includes = FIncludes[FoldAscii(PathDisplayText(name))];
        if (std::find(includes.begin(), includes.end(), AFile) == includes.end()) includes.push_back(AFile);
    }
}

const TIdentifierSet* FileUnitCatalog::F_FindUnit(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return FBase ? FBase->F_FindUnit(AUnitName) : nullptr;
    Unit& unit = *found->second;
    std::call_once(unit.Read, [&] {
        ReadFacts(found->first, unit);
        if (const TIdentifierSet* base = FBase ? FBase->F_FindUnit(AUnitName) : nullptr)
            unit.Identifiers.insert(base->begin(), base->end());
        unit.IdentifiersRead = true;
    });
    return &unit.Identifiers;
}

// From the cache's record without its identifiers, when it holds and the unit
// was not read whole anyway: most units a program brings in are never named
// in a clause, and their identifiers are the bulk of what is kept.
const TUnitLinks* FileUnitCatalog::F_FindUnitLinks(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return FBase ? FBase->F_FindUnitLinks(AUnitName) : nullptr;
    Unit& unit = *found->second;
    std::call_once(unit.LinksRead, [&] {
        std::optional<UnitReadRecord> cached;
        if (FCache && unit.OnlyInDeepFolders && !unit.IdentifiersRead)
            cached = FCache->Unit(found->first, UnitRecordPart::Links);
        if (!cached || !StillHolds(*cached, unit.Sources)) {
            unit.Links = F_UnitLinks(*F_FindUnit(AUnitName));
            return;
        }
        unit.Links = std::move(cached->Links);
        if (const TUnitLinks* base = FBase ? FBase->F_FindUnitLinks(AUnitName) : nullptr)
            F_MergeUnitLinks(unit.Links, *base);
    });
    return &unit.Links;
}

// From the cache while every file behind it is as it was; else read, and kept.
void FileUnitCatalog::ReadFacts(const std::u16string& AFoldedName, Unit& AUnit) const {
    const bool keep = FCache && AUnit.OnlyInDeepFolders;
    if (keep) {
        if (std::optional<UnitReadRecord> cached = FCache->Unit(AFoldedName);
            cached && StillHolds(*cached, AUnit.Sources)) {
            AUnit.Identifiers = std::move(cached->Identifiers);
            return;
        }
    }
    UnitReadRecord record;
    AUnit.Identifiers = ReadUnit(AUnit.Sources, keep ? &record : nullptr);
    if (!keep) return;
    record.Sources = AUnit.Sources;
    record.Identifiers = AUnit.Identifiers;
    FCache->StoreUnit(AFoldedName, record);
}

bool FileUnitCatalog::StillHolds(const UnitReadRecord& ARecord, const PathList& ASources) const {
    if (ARecord.Sources != ASources) return false;
    for (const auto& [file, stamp] : ARecord.FilesRead) {
        if (StampOfFile(file) != stamp) return false;
    }
    for (const IncludeLookup& lookup : ARecord.Lookups) {
        if (FindInclude(lookup.Folder, lookup.Name).Files != lookup.Found) return false;
    }
    return true;
}

TIdentifierSet FileUnitCatalog::ReadUnit(const PathList& ASources, UnitReadRecord* ARecord) const {
    TIdentifierSet identifiers;
    for (const NativePath& sourceText : ASources) {
        const fs::path source(sourceText);
        NoteRead(ARecord, sourceText);
        const std::optional<std::u16string> text = TryReadTextFile(source);
        if (!text) continue;
        const fs::path folder = source.parent_path();
        const TIncludeReader readInclude = [this, &folder, ARecord](std::u16string_view AName) {
            return ReadInclude(folder, AName, ARecord);
        };
        identifiers.merge(F_InterfaceIdentifiers(*text, readInclude));
    }
    return identifiers;
}

TIncludeReader FileUnitCatalog::IncludeReaderFor(const fs::path& AFolder) const {
    return [this, AFolder](std::u16string_view AName) { return ReadInclude(AFolder, AName, nullptr); };
}

std::optional<FileStamp> FileUnitCatalog::StampOfFile(const NativePath& AFile) const {
    {
        const std::lock_guard lock(FAskedLock);
        if (const auto known = FStamps.find(AFile); known != FStamps.end()) return known->second;
    }
    const std::optional<FileStamp> stamp = StampOf(AFile);
    const std::lock_guard lock(FAskedLock);
    return FStamps.try_emplace(AFile, stamp).first->second;
}

FileUnitCatalog::IncludeFiles FileUnitCatalog::FindInclude(const fs::path& AUnitFolder,
                                                           std::u16string_view AName) const {
    std::pair<NativePath, std::u16string> key(AUnitFolder.native(), AName);
    {
        const std::lock_guard lock(FAskedLock);
        if (const auto known = FIncludesFound.find(key); known != FIncludesFound.end()) return known->second;
    }
    IncludeFiles found = SearchInclude(AUnitFolder, AName);
    const std::lock_guard lock(FAskedLock);
    return FIncludesFound.try_emplace(std::move(key), std::move(found)).first->second;
}

// As the compiler looks: the name as written, then with ".inc", ".pp" and
// ".pas", beside the unit, then in the include folders; then by name (FindIncludeByName).
FileUnitCatalog::IncludeFiles FileUnitCatalog::SearchInclude(const fs::path& AUnitFolder,
                                                             std::u16string_view AName) const {
    // The compiler takes either slash as a separator wherever it runs: `{$I inc\types.inc}`.
    std::u16string name(AName);
    std::replace(name.begin(), name.end(), u'\\', u'/');
    std::vector<fs::path> folders{AUnitFolder};
    folders.insert(folders.end(), FIncludeFolders.begin(), FIncludeFolders.end());
    for (const fs::path& folder : folders) {
        for (const std::u16string& candidateName : IncludeNames(name)) {
            const fs::path candidate = folder / fs::path(candidateName);
            if (IsExistingFile(candidate)) return {{candidate.native()}, true};
        }
    }
    if (PathList found = FindIncludeByName(AUnitFolder, name); !found.empty()) return {std::move(found), false};
    return {FBase ? FBase->FindIncludeByName(AUnitFolder, name) : PathList(), false};
}

// For sources that name their include folders on the compiler's command line
// instead: the include files of that name below the search folders that are
// nearest to the unit, all of them, as declaring too much only keeps order.
FileUnitCatalog::PathList FileUnitCatalog::FindIncludeByName(const fs::path& AUnitFolder,
                                                             std::u16string_view AName) const {
    const fs::path written{std::u16string(AName)};
    for (const std::u16string& name : IncludeNames(written.filename().u16string())) {
        const std::u16string folded = FoldAscii(PathDisplayText(fs::path(name)));
        PathList found;
        if (const auto includes = FIncludes.find(folded); includes != FIncludes.end()) found = includes->second;
        const fs::path named(name);
        if (HasExtension(named, u".PP") || HasExtension(named, u".PAS")) {
            if (const auto unit = FUnits.find(FoldAscii(PathDisplayText(named.stem()))); unit != FUnits.end())
                for (const NativePath& source : unit->second->Sources)
                    if (FoldAscii(PathDisplayText(fs::path(source).filename())) == folded) found.push_back(source);
        }
        if (found.empty()) continue;
        found = EndingIn(found, fs::path(written).replace_filename(named));
        std::size_t nearest = 0;
        for (const NativePath& path : found)
            nearest = std::max(nearest, SharedFolders(fs::path(path).parent_path(), AUnitFolder));
        std::erase_if(found, [&](const NativePath& APath) {
            return SharedFolders(fs::path(APath).parent_path(), AUnitFolder) != nearest;
        });
        return found;
    }
    return {};
}

std::optional<std::u16string> FileUnitCatalog::ReadInclude(const fs::path& AUnitFolder, std::u16string_view AName,
                                                           UnitReadRecord* ARecord) const {
    const IncludeFiles found = FindInclude(AUnitFolder, AName);
    if (ARecord != nullptr) ARecord->Lookups.push_back({AUnitFolder.native(), std::u16string(AName), found.Files});
    for (const NativePath& file : found.Files) NoteRead(ARecord, file);
    if (found.Beside) return TryReadTextFile(found.Files.front());
    if (found.Files.empty()) return std::nullopt;
    std::u16string joined;
    for (const NativePath& path : found.Files) {
        if (const auto text = TryReadTextFile(path)) joined += *text + u"\n";
    }
    return joined;
}

std::u16string FileUnitCatalog::F_DeclaredName(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(FoldAscii(AUnitName));
    if (found == FUnits.end()) return FBase ? FBase->F_DeclaredName(AUnitName) : std::u16string();
    Unit& unit = *found->second;
    std::call_once(unit.NameRead, [&] {
        const fs::path source(unit.Sources.front());
        if (const std::optional<std::u16string> text = TryReadTextFile(source)) unit.DeclaredName = F_UnitHeadingName(*text);
        if (unit.DeclaredName.empty()) unit.DeclaredName = PathDisplayText(source.stem());
    });
    return unit.DeclaredName;
}

bool FileUnitCatalog::F_IsProjectUnit(std::u16string_view AUnitName) const {
    const std::u16string folded = FoldAscii(AUnitName);
    for (const FileUnitCatalog* catalog = this; catalog != nullptr; catalog = catalog->FBase.get()) {
        const auto found = catalog->FUnits.find(folded);
        if (found == catalog->FUnits.end()) continue;
        for (const NativePath& source : found->second->Sources) {
            if (IsProjectFolder(IdentityOfFolder(fs::path(source).parent_path()))) return true;
        }
    }
    return false;
}

// One of the project folders of this catalog or of its base.
bool FileUnitCatalog::IsProjectFolder(const NativePath& AFolderIdentity) const {
    for (const FileUnitCatalog* catalog = this; catalog != nullptr; catalog = catalog->FBase.get()) {
        if (catalog->FProjectFolders.contains(AFolderIdentity)) return true;
    }
    return false;
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
