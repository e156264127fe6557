#include "OptionsFileLookup.h"

#include <system_error>

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

}  // namespace

OptionsFileLookup::OptionsFileLookup()
    : FSearch([](const fs::path& AFolder) -> std::optional<fs::path> {
          if (fs::path file = AFolder / files::kOptionsFileName; Exists(file)) return file;
          return std::nullopt;
      }) {}

}  // namespace quorvel::cli
