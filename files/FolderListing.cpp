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

// The listing's three kinds, in the order they are listed.
constexpr std::array<std::string_view, 3> kExtensions = {".pas", ".dpr", ".dpk"};
constexpr auto kKindCount = kExtensions.size();

NativeChar AsciiLower(NativeChar AChar) { return AChar >= 'A' && AChar <= 'Z' ? AChar + ('a' - 'A') : AChar; }

// The kind of source file the name is, or kKindCount for none.
std::size_t KindOf(const NativeString& AName) {
    for (std::size_t kind = 0; kind < kKindCount; ++kind) {
        const std::string_view extension = kExtensions[kind];
        if (AName.size() < extension.size()) continue;
        const auto tail = AName.end() - static_cast<std::ptrdiff_t>(extension.size());
        if (std::equal(tail, AName.end(), extension.begin(), [](NativeChar c, char e) { return AsciiLower(c) == e; })) {
            return kind;
        }
    }
    return kKindCount;
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
    using KindOf = std::function<std::size_t(const NativeString& AName)>;

    Walk(NativeString ARoot, bool ARecursive, const UnreadableFolderHandler& AOnUnreadable, KindOf AKindOf,
         std::size_t AKindCount, const FolderVisitHandler& AOnVisit = {})
        : FRoot(std::move(ARoot)), FRecursive(ARecursive), FOnUnreadable(AOnUnreadable), FOnVisit(AOnVisit),
          FKindOf(std::move(AKindOf)), FFoundByKind(AKindCount) {}

    std::vector<fs::path> Run() {
        Visit(NativeString());
        std::vector<fs::path> listing;
        for (auto& kind : FFoundByKind) std::move(kind.begin(), kind.end(), std::back_inserter(listing));
        return listing;
    }

private:
    // ARelative: the folder's path relative to the root, empty or ending in a separator.
    void Visit(const NativeString& ARelative) {
        if (FOnVisit) FOnVisit(fs::path(FRoot + ARelative));
        for (const Entry& entry : SortedEntries(FRoot + ARelative, FOnUnreadable)) {
            if (entry.IsFolder) {
                if (FRecursive) Visit(ARelative + entry.Name + NativeChar(fs::path::preferred_separator));
            } else if (const std::size_t kind = FKindOf(entry.Name);
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
                                      const UnreadableFolderHandler& AOnUnreadable) {
    return Walk(RootOf(AFolder), ARecursive, AOnUnreadable, KindOf, kKindCount).Run();
}

std::vector<fs::path> ListFiles(const fs::path& AFolder, bool ARecursive, const FileNameFilter& AKeep,
                                const UnreadableFolderHandler& AOnUnreadable, const FolderVisitHandler& AOnVisit) {
    const auto kindOf = [&AKeep](const NativeString& AName) -> std::size_t { return AKeep(fs::path(AName)) ? 0 : 1; };
    return Walk(RootOf(AFolder), ARecursive, AOnUnreadable, kindOf, 1, AOnVisit).Run();
}

bool HasSourceFileExtension(const fs::path& APath) { return KindOf(APath.filename().native()) < kKindCount; }

}  // namespace quorvel::files
