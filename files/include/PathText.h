#pragma once
// Paths as text for messages and log lines. A path's native form need not be
// valid Unicode (Linux file names are bytes), so these never throw: what
// cannot be converted shows as U+FFFD.

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvel::files {

std::string PathMessageText(const std::filesystem::path& APath);     // UTF-8
std::u16string PathDisplayText(const std::filesystem::path& APath);  // UTF-16

// The part of a path after its last "/", "\" or ":"; the whole path when it has none.
std::u16string_view FileNameOfPath(std::u16string_view APath);

}  // namespace quorvel::files
