#pragma once
// What a folder falls under that is found in it or in the nearest folder
// above it: an options file, a project file. The search stops at the root of a
// Git work tree (a folder holding ".git", file or folder), so a checkout never
// picks up whatever happens to lie above it, and at the file system root.
// Folders already passed are remembered, so a run over thousands of files
// looks at each folder once.

#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace quorvel::files {

// AFolder made absolute and plain ("a/b/" as "a/b"), the current folder for an empty one.
std::filesystem::path AbsoluteFolder(const std::filesystem::path& AFolder);

// True for a folder holding ".git": the top of a Git work tree. A link to
// nowhere counts, as Git itself would see it.
bool IsWorkTreeRoot(const std::filesystem::path& AFolder);

// TFound tells by its truth whether something was found (std::optional,
// std::shared_ptr). Safe to use from several threads.
template <class TFound>
class NearestFolderSearch {
public:
    using Finder = std::function<TFound(const std::filesystem::path& AFolder)>;

    explicit NearestFolderSearch(Finder AFind) : FFind(std::move(AFind)) {}

    // AFolder may be relative (to the current folder).
    TFound For(const std::filesystem::path& AFolder) {
        const std::lock_guard lock(FLock);
        std::vector<std::filesystem::path::string_type> passed;  // all get the answer found
        TFound found{};
        for (std::filesystem::path folder = AbsoluteFolder(AFolder);; folder = folder.parent_path()) {
            if (const auto known = FByFolder.find(folder.native()); known != FByFolder.end()) {
                found = known->second;
                break;
            }
            passed.push_back(folder.native());
            if ((found = FFind(folder))) break;
            if (IsWorkTreeRoot(folder) || folder == folder.parent_path()) break;
        }
        for (auto& folder : passed) FByFolder.emplace(std::move(folder), found);
        return found;
    }

private:
    Finder FFind;
    std::mutex FLock;
    std::unordered_map<std::filesystem::path::string_type, TFound> FByFolder;
};

}  // namespace quorvel::files
