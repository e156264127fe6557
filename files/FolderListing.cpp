#include "FolderListing.h"

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <string_view>
#include <type_traits>

#include "FileError.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

using NativeString = fs::path::string_type;
using NativeChar = fs::path::value_type;

// The listing's three kinds, in the order they are listed; below a folder
// holding a Lazarus or Free Pascal project, the compiler's own two come after.
constexpr std::array<std::string_view, 3> kExtensions = {".pas", ".dpr", ".dpk"};
constexpr auto kKindCount = kExtensions.size();
constexpr std::array<std::string_view, 5> kFreePascalExtensions = {".pas", ".dpr", ".dpk", ".pp", ".lpr"};

NativeChar AsciiLower(NativeChar AChar) { return AChar >= 'A' && AChar <= 'Z' ? AChar + ('a' - 'A') : AChar; }

bool EndsWithAscii(const NativeString& AName, std::string_view AEnd) {
    if (AName.size() < AEnd.size()) return false;
    const auto tail = AName.end() - static_cast<std::ptrdiff_t>(AEnd.size());
    return std::equal(tail, AName.end(), AEnd.begin(), [](NativeChar c, char e) { return AsciiLower(c) == AsciiLower(e); });
}

// The kind of source file the name is among AExtensions, or their count for none.
template <typename Extensions>
std::size_t KindAmong(const NativeString& AName, const Extensions& AExtensions) {
    for (std::size_t kind = 0; kind < AExtensions.size(); ++kind)
        if (EndsWithAscii(AName, AExtensions[kind])) return kind;
    return AExtensions.size();
}

std::size_t KindOf(const NativeString& AName) { return KindAmong(AName, kExtensions); }

// A file that makes its folder a Lazarus or Free Pascal project's.
bool IsFreePascalProjectFile(const NativeString& AName) {
    return EndsWithAscii(AName, ".lpi") || EndsWithAscii(AName, ".lpk") ||
           (AName.size() == 9 && EndsWithAscii(AName, "fpmake.pp")) ||
           (AName.size() == 12 && EndsWithAscii(AName, "makefile.fpc"));
}

bool NameLess(const NativeString& ALeft, const NativeString& ARight) {
    const auto folded = [](NativeChar c) { return static_cast<std::make_unsigned_t<NativeChar>>(AsciiLower(c)); };
    const auto order = std::lexicographical_compare_three_way(ALeft.begin(), ALeft.end(), ARight.begin(), ARight.end(),
                                                              [&](NativeChar l, NativeChar r) { return folded(l) <=> folded(r); });
    return order != 0 ? order < 0 : ALeft < ARight;  // names equal without case still get one fixed order
}

using Entry = platform::FolderEntry;

// The folder's entries sorted by name; nothing when it cannot be opened.
std::vector<Entry> SortedEntries(const fs::path& AFolder, const UnreadableFolderHandler& AOnUnreadable) {
    std::vector<Entry> entries;
    try {
        entries = platform::ReadFolder(AFolder);
    } catch (const std::system_error&) {
        if (AOnUnreadable) AOnUnreadable(AFolder);
        return entries;
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& l, const Entry& r) { return NameLess(l.Name, r.Name); });
    return entries;
}

// Sorts each file it keeps into one of AKindCount kinds (AKindOf answers
// AKindCount for a file it does not keep) and lists the kinds one after another.
class Walk {
public:
    // AInProject: the file lies in or below a folder holding a Lazarus or Free Pascal project.
    using KindOf = std::function<std::size_t(const NativeString& AName, bool AInProject)>;

    Walk(NativeString ARoot, bool ARecursive, const UnreadableFolderHandler& AOnUnreadable, KindOf AKindOf,
         std::size_t AKindCount, const FolderVisitHandler& AOnVisit = {})
        : FRoot(std::move(ARoot)), FRecursive(ARecursive), FOnUnreadable(AOnUnreadable), FOnVisit(AOnVisit),
          FKindOf(std::move(AKindOf)), FFoundByKind(AKindCount) {}

    std::vector<fs::path> Run() {
        Visit(NativeString(), false);
        std::vector<fs::path> listing;
        for (auto& kind : FFoundByKind) std::move(kind.begin(), kind.end(), std::back_inserter(listing));
        return listing;
    }

private:
    // ARelative: the folder's path relative to the root, empty or ending in a separator.
    void Visit(const NativeString& ARelative, bool AInProject) {
        if (FOnVisit) FOnVisit(fs::path(FRoot + ARelative));
        const std::vector<Entry> entries = SortedEntries(FRoot + ARelative, FOnUnreadable);
        const bool inProject = AInProject || std::any_of(entries.begin(), entries.end(), [](const Entry& AEntry) {
                                   return !AEntry.IsFolder && IsFreePascalProjectFile(AEntry.Name);
                               });
        for (const Entry& entry : entries) {
            if (entry.IsFolder) {
                if (FRecursive) Visit(ARelative + entry.Name + NativeChar(fs::path::preferred_separator), inProject);
            } else if (const std::size_t kind = FKindOf(entry.Name, inProject);
                       kind < FFoundByKind.size() && !LinksToFolder(ARelative, entry)) {
                FFoundByKind[kind].emplace_back(FRoot + ARelative + entry.Name);
            }
        }
    }

    bool LinksToFolder(const NativeString& ARelative, const Entry& AEntry) const {
        std::error_code ignored;
        return AEntry.IsLink && fs::is_directory(platform::SystemPath(FRoot + ARelative + AEntry.Name), ignored);
    }

    NativeString FRoot;  // the folder as given, ending in a separator
    bool FRecursive;
    const UnreadableFolderHandler& FOnUnreadable;
    const FolderVisitHandler& FOnVisit;
    KindOf FKindOf;
    std::vector<std::vector<fs::path>> FFoundByKind;
};

bool EndsWithSeparator(const NativeString& APath) {
    return !APath.empty() && (APath.back() == '/' || APath.back() == NativeChar(fs::path::preferred_separator));
}

void CheckFolder(const fs::path& AFolder) {
    constexpr const char* kList = "Cannot list";
    const auto& native = AFolder.native();
    const auto blank = [](NativeChar c) { return static_cast<std::make_unsigned_t<NativeChar>>(c) <= 0x20; };
    if (std::all_of(native.begin(), native.end(), blank)) {
        throw MakeFileError(kList, AFolder, "no folder given");
    }
    std::error_code error;
    const fs::file_status status = fs::status(platform::SystemPath(AFolder), error);
    if (!fs::exists(status)) throw MakeFileError(kList, AFolder, "the folder does not exist");
    if (!fs::is_directory(status)) throw MakeFileError(kList, AFolder, "it is not a folder");
}

NativeString RootOf(const fs::path& AFolder) {
    CheckFolder(AFolder);
    NativeString root = AFolder.native();
    if (!EndsWithSeparator(root)) root += NativeChar(fs::path::preferred_separator);
    return root;
}

}  // namespace

std::vector<fs::path> ListSourceFiles(const fs::path& AFolder, bool ARecursive,
                                      const UnreadableFolderHandler& AOnUnreadable,
                                      const std::optional<std::vector<std::string>>& AKinds) {
    if (AKinds) {
        const auto kindOf = [&AKinds](const NativeString& AName, bool) { return KindAmong(AName, *AKinds); };
        return Walk(RootOf(AFolder), ARecursive, AOnUnreadable, kindOf, AKinds->size()).Run();
    }
    const auto kindOf = [](const NativeString& AName, bool AInProject) {
        const std::size_t kind = KindAmong(AName, kFreePascalExtensions);
        return kind < kKindCount || AInProject ? kind : kFreePascalExtensions.size();
    };
    return Walk(RootOf(AFolder), ARecursive, AOnUnreadable, kindOf, kFreePascalExtensions.size()).Run();
}

std::vector<fs::path> ListFiles(const fs::path& AFolder, bool ARecursive, const FileNameFilter& AKeep,
                                const UnreadableFolderHandler& AOnUnreadable, const FolderVisitHandler& AOnVisit) {
    const auto kindOf = [&AKeep](const NativeString& AName, bool) -> std::size_t { return AKeep(fs::path(AName)) ? 0 : 1; };
    return Walk(RootOf(AFolder), ARecursive, AOnUnreadable, kindOf, 1, AOnVisit).Run();
}

bool HasSourceFileExtension(const fs::path& APath) { return KindOf(APath.filename().native()) < kKindCount; }

}  // namespace quorvel::files
