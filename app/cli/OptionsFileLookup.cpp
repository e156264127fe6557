#include "OptionsFileLookup.h"

#include <system_error>
#include <vector>

#include "OptionsFile.h"

namespace quorvel::cli {
namespace fs = std::filesystem;
namespace {

// Not followed through a link: a link to nowhere is still found, and then fails
// to read with a message instead of being passed over.
bool Exists(const fs::path& APath) {
    std::error_code error;
    return fs::exists(fs::symlink_status(APath, error));
}

fs::path AbsoluteFolder(const fs::path& AFolder) {
    std::error_code error;
    fs::path folder = fs::absolute(AFolder.empty() ? fs::path(".") : AFolder, error).lexically_normal();
    if (!folder.has_filename() && folder != folder.root_path()) folder = folder.parent_path();  // "a/b/" -> "a/b"
    return folder;
}

}  // namespace

std::optional<fs::path> OptionsFileLookup::FileFor(const fs::path& AFolder) {
    std::vector<fs::path::string_type> passed;  // all get the answer found
    std::optional<fs::path> found;
    for (fs::path folder = AbsoluteFolder(AFolder);; folder = folder.parent_path()) {
        if (const auto known = FByFolder.find(folder.native()); known != FByFolder.end()) {
            found = known->second;
            break;
        }
        passed.push_back(folder.native());
        if (const fs::path file = folder / files::kOptionsFileName; Exists(file)) {
            found = file;
            break;
        }
        if (Exists(folder / ".git") || folder == folder.parent_path()) break;
    }
    for (auto& folder : passed) FByFolder.emplace(std::move(folder), found);
    return found;
}

}  // namespace quorvel::cli
