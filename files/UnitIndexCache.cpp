#include "UnitIndexCache.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <system_error>
#include <thread>

#include "platform/Platform.h"

#ifdef __linux__
#include <sys/stat.h>
#endif

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kMagic = "QUORVEL-UNIT-INDEX 2\n";

// Little-endian lengths and raw code units: the file is read back only on the
// machine that wrote it.
class ByteWriter {
public:
    explicit ByteWriter(std::string& AOut) : FOut(AOut) {}

    void Number(std::uint64_t AValue) { FOut.append(reinterpret_cast<const char*>(&AValue), sizeof AValue); }
    template <class Char>
    void Text(std::basic_string_view<Char> AText) {
        Number(AText.size());
        FOut.append(reinterpret_cast<const char*>(AText.data()), AText.size() * sizeof(Char));
    }
    void Path(const NativePath& APath) { Text(std::basic_string_view<fs::path::value_type>(APath)); }
    void Raw(std::string_view ABytes) { FOut.append(ABytes); }

private:
    std::string& FOut;
};

// Reads what ByteWriter wrote; any read past the end or beyond sense throws.
class ByteReader {
public:
    struct Damaged {};

    explicit ByteReader(std::string_view AIn) : FIn(AIn) {}

    std::uint64_t Number() {
        std::uint64_t value;
        std::memcpy(&value, Take(sizeof value).data(), sizeof value);
        return value;
    }
    std::size_t Count() {
        const std::uint64_t count = Number();
        if (count > FIn.size()) throw Damaged{};  // every item takes at least a byte
        return static_cast<std::size_t>(count);
    }
    template <class Char>
    std::basic_string<Char> Text() {
        const std::size_t length = Count();
        const std::string_view bytes = Take(length * sizeof(Char));
        std::basic_string<Char> text(length, Char());
        std::memcpy(text.data(), bytes.data(), bytes.size());
        return text;
    }
    NativePath Path() { return Text<fs::path::value_type>(); }
    std::string_view Take(std::size_t ALength) {
        if (ALength > FIn.size()) throw Damaged{};
        const std::string_view taken = FIn.substr(0, ALength);
        FIn.remove_prefix(ALength);
        return taken;
    }
    bool AtEnd() const { return FIn.empty(); }

private:
    std::string_view FIn;
};

std::int64_t Ticks(fs::file_time_type ATime) { return static_cast<std::int64_t>(ATime.time_since_epoch().count()); }

// The running program's path, size and time: another build starts with an empty cache.
std::string ProgramKey() {
    const fs::path program = platform::RunningProgramFile();
    const std::optional<FileStamp> stamp = program.empty() ? std::nullopt : StampOf(program);
    if (!stamp) return {};
    std::string key;
    ByteWriter out(key);
    out.Path(program.native());
    out.Number(stamp->Size);
    out.Number(static_cast<std::uint64_t>(stamp->Time));
    return key;
}

std::string CacheKey(const std::string& AProgram, const std::vector<fs::path>& AFolders) {
    std::string key = AProgram;
    ByteWriter out(key);
    for (const fs::path& folder : AFolders) out.Path(fs::absolute(folder).lexically_normal().native());
    return key;
}

// A file name that is the same for the same key, and short.
std::string FileNameFor(const std::string& AKey) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const unsigned char c : AKey) hash = (hash ^ c) * 1099511628211ull;
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = "units-";
    for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 15];
    return name + ".idx";
}

// Whether AFile is a cache file that another build of the program at
// AProgramPath wrote (its key begins with that path and another size or
// time): no run of the program there reads it again.
bool FromAnotherBuild(const fs::path& AFile, std::string_view AProgramKey, const NativePath& AProgramPath) {
    std::ifstream file(platform::SystemPath(AFile), std::ios::binary);
    std::string head(kMagic.size() + 8 + AProgramKey.size(), '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    try {
        ByteReader in(head);
        if (in.Take(kMagic.size()) != kMagic) return false;
        in.Number();  // the whole key's length
        const std::string_view program = std::string_view(head).substr(kMagic.size() + 8);
        return program != AProgramKey && in.Path() == AProgramPath;
    } catch (const ByteReader::Damaged&) {
        return false;
    }
}

void WriteListing(ByteWriter& AOut, const FolderListingRecord& AListing) {
    AOut.Number(AListing.Folders.size());
    for (const auto& [folder, time] : AListing.Folders) {
        AOut.Path(folder);
        AOut.Number(static_cast<std::uint64_t>(time));
    }
    AOut.Number(AListing.Files.size());
    for (const NativePath& file : AListing.Files) AOut.Path(file);
}

FolderListingRecord ReadListing(ByteReader& AIn) {
    FolderListingRecord listing;
    listing.Folders.resize(AIn.Count());
    for (auto& [folder, time] : listing.Folders) {
        folder = AIn.Path();
        time = static_cast<std::int64_t>(AIn.Number());
    }
    listing.Files.resize(AIn.Count());
    for (NativePath& file : listing.Files) file = AIn.Path();
    return listing;
}

void WritePaths(ByteWriter& AOut, const std::vector<NativePath>& APaths) {
    AOut.Number(APaths.size());
    for (const NativePath& path : APaths) AOut.Path(path);
}

std::vector<NativePath> ReadPaths(ByteReader& AIn) {
    std::vector<NativePath> paths(AIn.Count());
    for (NativePath& path : paths) path = AIn.Path();
    return paths;
}

std::string UnitBytes(const UnitReadRecord& ARecord) {
    std::string bytes;
    ByteWriter out(bytes);
    WritePaths(out, ARecord.Sources);
    out.Number(ARecord.FilesRead.size());
    for (const auto& [file, stamp] : ARecord.FilesRead) {
        out.Path(file);
        out.Number(stamp.Size);
        out.Number(static_cast<std::uint64_t>(stamp.Time));
    }
    out.Number(ARecord.Lookups.size());
    for (const IncludeLookup& lookup : ARecord.Lookups) {
        out.Path(lookup.Folder);
        out.Text(std::u16string_view(lookup.Name));
        WritePaths(out, lookup.Found);
    }
    // The links ahead of the identifiers: a run that follows what units bring
    // in reads only them.
    const TUnitLinks links = F_UnitLinks(ARecord.Identifiers);
    out.Number(links.InitCode ? 1 : 0);
    out.Number(links.Uses.size());
    for (const std::u16string& used : links.Uses) out.Text(std::u16string_view(used));
    out.Number(ARecord.Identifiers.size());
    for (const std::u16string& identifier : ARecord.Identifiers) out.Text(std::u16string_view(identifier));
    return bytes;
}

UnitReadRecord ReadUnitBytes(std::string_view ABytes, UnitRecordPart APart) {
    ByteReader in(ABytes);
    UnitReadRecord record;
    record.Sources = ReadPaths(in);
    record.FilesRead.resize(in.Count());
    for (auto& [file, stamp] : record.FilesRead) {
        file = in.Path();
        stamp.Size = in.Number();
        stamp.Time = static_cast<std::int64_t>(in.Number());
    }
    record.Lookups.resize(in.Count());
    for (IncludeLookup& lookup : record.Lookups) {
        lookup.Folder = in.Path();
        lookup.Name = in.Text<char16_t>();
        lookup.Found = ReadPaths(in);
    }
    record.Links.InitCode = in.Number() != 0;
    record.Links.Uses.resize(in.Count());
    for (std::u16string& used : record.Links.Uses) used = in.Text<char16_t>();
    if (APart == UnitRecordPart::Links) return record;
    const std::size_t identifiers = in.Count();
    record.Identifiers.reserve(identifiers);
    for (std::size_t i = 0; i < identifiers; ++i) record.Identifiers.insert(in.Text<char16_t>());
    if (!in.AtEnd()) throw ByteReader::Damaged{};
    return record;
}

}  // namespace

std::optional<FileStamp> StampOf(const fs::path& AFile) {
#ifdef __linux__
    // One call gives both (thousands of files are looked at per run); the
    // time then in nanoseconds.
    struct stat status;
    if (::stat(platform::SystemPath(AFile).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileStamp{static_cast<std::uintmax_t>(status.st_size),
                     static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
#else
    std::error_code error;
    const fs::path file = platform::SystemPath(AFile);
    const std::uintmax_t size = fs::file_size(file, error);
    if (error) return std::nullopt;
    const fs::file_time_type time = fs::last_write_time(file, error);
    if (error) return std::nullopt;
    return FileStamp{size, Ticks(time)};
#endif
}

std::optional<std::int64_t> FolderTimeOf(const fs::path& AFolder) {
    std::error_code error;
    const fs::file_time_type time = fs::last_write_time(platform::SystemPath(AFolder), error);
    if (error) return std::nullopt;
    return Ticks(time);
}

UnitIndexCache::UnitIndexCache(fs::path ACacheFolder, const std::vector<fs::path>& ADeepFolders) {
    const std::string program = ProgramKey();
    if (program.empty()) return;  // without knowing the build, nothing cached could be trusted
    FProgramKey = program;
    FKey = CacheKey(program, ADeepFolders);
    FFile = std::move(ACacheFolder) / FileNameFor(FKey);
    Load();
}

UnitIndexCache::~UnitIndexCache() = default;

void UnitIndexCache::Load() {
    try {
        FLoaded = platform::ReadWholeFile(platform::SystemPath(FFile));
    } catch (const std::system_error&) {
        return;
    }
    const std::string_view all(reinterpret_cast<const char*>(FLoaded.data()), FLoaded.size());
    try {
        ByteReader in(all);
        if (in.Take(kMagic.size()) != kMagic || in.Text<char>() != FKey) return;
        for (std::size_t n = in.Count(); n > 0; --n) {
            NativePath folder = in.Path();
            FListings.insert_or_assign(std::move(folder), ReadListing(in));
        }
        for (std::size_t n = in.Count(); n > 0; --n) {
            std::u16string name = in.Text<char16_t>();
            FUnits.insert_or_assign(std::move(name), in.Take(in.Count()));
        }
    } catch (const ByteReader::Damaged&) {
        FListings.clear();
        FUnits.clear();
        FLoaded.clear();
    }
}

std::optional<std::vector<NativePath>> UnitIndexCache::Listing(const fs::path& AFolder) const {
    const std::lock_guard lock(FLock);
    const auto found = FListings.find(AFolder.native());
    if (found == FListings.end()) return std::nullopt;
    for (const auto& [folder, time] : found->second.Folders) {
        if (FolderTimeOf(folder) != time) return std::nullopt;
    }
    return found->second.Files;
}

void UnitIndexCache::StoreListing(const fs::path& AFolder, FolderListingRecord ARecord) {
    if (FFile.empty()) return;
    const std::lock_guard lock(FLock);
    FListings.insert_or_assign(AFolder.native(), std::move(ARecord));
    FChanged = true;
}

std::optional<UnitReadRecord> UnitIndexCache::Unit(std::u16string_view AFoldedName, UnitRecordPart APart) const {
    std::string_view bytes;
    {
        const std::lock_guard lock(FLock);
        const auto found = FUnits.find(AFoldedName);
        if (found == FUnits.end()) return std::nullopt;
        bytes = found->second;  // the bytes themselves stay where they are until the cache goes
    }
    try {
        return ReadUnitBytes(bytes, APart);
    } catch (const ByteReader::Damaged&) {
        return std::nullopt;
    }
}

void UnitIndexCache::StoreUnit(const std::u16string& AFoldedName, const UnitReadRecord& ARecord) {
    if (FFile.empty()) return;
    std::string bytes = UnitBytes(ARecord);
    const std::lock_guard lock(FLock);
    FUnits.insert_or_assign(AFoldedName, std::string_view(FStored.emplace_back(std::move(bytes))));
    FChanged = true;
}

void UnitIndexCache::Save() const noexcept {
    const std::lock_guard lock(FLock);
    if (!FChanged || FFile.empty()) return;
    try {
        std::string bytes(kMagic);
        ByteWriter out(bytes);
        out.Text(std::string_view(FKey));
        out.Number(FListings.size());
        for (const auto& [folder, listing] : FListings) {
            out.Path(folder);
            WriteListing(out, listing);
        }
        out.Number(FUnits.size());
        for (const auto& [name, record] : FUnits) {
            out.Text(std::u16string_view(name));
            out.Text(std::string_view(record));
        }
        std::error_code error;
        fs::create_directories(FFile.parent_path(), error);
        // Written beside it and put in its place in one step: a run reading it
        // meanwhile sees the old file or the new, never half of one.
        const auto unique = std::hash<std::thread::id>()(std::this_thread::get_id()) ^
                            static_cast<std::size_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const fs::path temporary = fs::path(FFile).concat(".tmp" + std::to_string(unique));
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            if (!file.good()) throw std::system_error(std::make_error_code(std::errc::io_error));
        }
        try {
            platform::ReplaceWithFile(temporary, FFile);
        } catch (...) {
            fs::remove(temporary, error);
            throw;
        }
        FChanged = false;
        RemoveOtherBuildsFiles();
    } catch (...) {
        // The next run lists and reads again; nothing else depends on the cache.
    }
}

// A new build starts with caches of its own; those its predecessors at the
// same place wrote would only fill the folder, by some megabytes a build.
void UnitIndexCache::RemoveOtherBuildsFiles() const {
    const NativePath programPath = platform::RunningProgramFile().native();
    static const NativePath kPrefix = fs::path("units-").native(), kExtension = fs::path(".idx").native();
    for (const platform::FolderEntry& entry : platform::ReadFolder(FFile.parent_path())) {
        if (entry.IsFolder || entry.IsLink || !entry.Name.starts_with(kPrefix) || !entry.Name.ends_with(kExtension))
            continue;
        const fs::path file = FFile.parent_path() / entry.Name;
        if (file == FFile || !FromAnotherBuild(file, FProgramKey, programPath)) continue;
        std::error_code error;
        fs::remove(platform::SystemPath(file), error);  // one still open elsewhere stays; nothing lost
    }
}

fs::path DefaultUnitIndexFolder() {
    if (const char* chosen = std::getenv("QUORVEL_CACHE_DIR"); chosen != nullptr && *chosen != '\0') {
        return std::string_view(chosen) == "none" ? fs::path() : fs::path(chosen);
    }
    return platform::ProgramCacheFolder();
}

}  // namespace quorvel::files
