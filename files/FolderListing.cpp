#include "FolderListing.h"

namespace quorvel::files {

// Placeholders until the listing lands.
std::vector<std::filesystem::path> ListSourceFiles(const std::filesystem::path&, bool) { return {}; }
bool HasSourceFileExtension(const std::filesystem::path&) { return false; }

}  // namespace quorvel::files
