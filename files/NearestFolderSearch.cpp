#include "NearestFolderSearch.h"

namespace quorvel::files {
namespace fs = std::filesystem;

fs::path AbsoluteFolder(const fs::path& AFolder) {
    std::error_code error;
    fs::path folder = fs::absolute(AFolder.empty() ? fs::path(".") : AFolder, error).lexically_normal();
    if (!folder.has_filename() && folder != folder.root_path()) folder = folder.parent_path();
    return folder;
}

bool IsWorkTreeRoot(const fs::path& AFolder) {
    std::error_code error;
    return fs::exists(fs::symlink_status(AFolder / ".git", error));
}

}  // namespace quorvel::files
