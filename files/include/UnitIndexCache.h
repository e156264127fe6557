#pragma once
// The unit catalog's memory between runs: the listing of each units-path
// folder and what was read from each unit there, kept in one file in the
// user's cache folder. Nothing is taken from it that has changed since: a
// listing holds while every folder in it has the time it had, a unit's facts
// while every file read for them has its size and time and every include
// name still leads to the same files. Another build of the program starts
// afresh, since it may read units differently, and removes the files that
// earlier builds of the program at the same place wrote.

#include <cstdint>
#include <filesystem>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Bytes.h"
#include "UnitInterface.h"

namespace quorvel::files {

// Paths as the system spells them: cheaper to keep by the thousand than std::filesystem::path.
using NativePath = std::filesystem::path::string_type;

// What tells that a file has not changed: its size and last write time.
struct FileStamp {
    std::uintmax_t Size = 0;
    std::int64_t Time = 0;  // last write, in ticks of the file system's clock (nanoseconds on Linux)
    bool operator==(const FileStamp&) const = default;
};

// std::nullopt when the file cannot be looked at.
std::optional<FileStamp> StampOf(const std::filesystem::path& AFile);
// A folder's last write time, which changes when an entry is added, removed or renamed.
std::optional<std::int64_t> FolderTimeOf(const std::filesystem::path& AFolder);

struct FolderListingRecord {
    std::vector<std::pair<NativePath, std::int64_t>> Folders;  // every folder listed, with its time
    std::vector<NativePath> Files;
};

// An include name looked up for a source of Folder, and the files it led to.
struct IncludeLookup {
    NativePath Folder;
    std::u16string Name;
    std::vector<NativePath> Found;
};

struct UnitReadRecord {
    std::vector<NativePath> Sources;
    std::vector<std::pair<NativePath, FileStamp>> FilesRead;  // sources and include files
    std::vector<IncludeLookup> Lookups;
    TIdentifierSet Identifiers;
    TUnitLinks Links;  // read back only: stored, they follow from Identifiers
};

enum class UnitRecordPart { Whole, Links };  // Links: all but the identifiers

// Safe to use from several threads, Save excepted.
class UnitIndexCache {
public:
    // The cache of a catalog searching ADeepFolders, in ACacheFolder. A
    // missing, unreadable or damaged cache file counts as an empty one.
    UnitIndexCache(std::filesystem::path ACacheFolder, const std::vector<std::filesystem::path>& ADeepFolders);
    ~UnitIndexCache();

    // The files of AFolder's listing, when it is cached and no folder in it changed.
    std::optional<std::vector<NativePath>> Listing(const std::filesystem::path& AFolder) const;
    void StoreListing(const std::filesystem::path& AFolder, FolderListingRecord ARecord);

    // What was read for the unit of that folded name, whole or without its
    // identifiers; the caller checks that it still holds.
    std::optional<UnitReadRecord> Unit(std::u16string_view AFoldedName,
                                       UnitRecordPart APart = UnitRecordPart::Whole) const;
    void StoreUnit(const std::u16string& AFoldedName, const UnitReadRecord& ARecord);

    // Writes the cache file again when anything was stored since. Never throws: a
    // cache that cannot be written only costs the next run its time.
    void Save() const noexcept;

    const std::filesystem::path& File() const { return FFile; }

private:
    std::filesystem::path FFile;
    std::string FProgramKey;  // the program's path and build
    std::string FKey;         // that and the folders searched
    std::map<NativePath, FolderListingRecord> FListings;
    std::map<std::u16string, std::string_view, std::less<>> FUnits;  // folded name: the record's bytes,
    Bytes FLoaded;                                                   // in the file as loaded
    std::list<std::string> FStored;                                  // or stored since
    mutable std::mutex FLock;
    mutable bool FChanged = false;  // since loaded or saved

    void Load();
    void RemoveOtherBuildsFiles() const;
};

// Where catalogs keep their caches: the folder QUORVEL_CACHE_DIR names ("none":
// no cache at all), else the program's folder in the user's cache folder;
// empty for none.
std::filesystem::path DefaultUnitIndexFolder();

}  // namespace quorvel::files
