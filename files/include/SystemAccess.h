#pragma once
// What the programs above the file layer need of the system: paths as the
// system's file calls take them and as it compares them, and the memory
// settings of a process that holds big files. Implemented with the rest of
// the platform code (platform/Platform.h).

#include <filesystem>

namespace quorvel::files::platform {

// APath in the form the system's file calls accept at any length. Windows:
// from MAX_PATH characters on, the absolute path behind the "\\?\" prefix,
// which lifts that limit; shorter paths stay as given. Elsewhere: APath.
// Messages still show the path as the user gave it.
std::filesystem::path SystemPath(const std::filesystem::path& APath);

// Two paths name the same file when these are equal, as far as their text
// shows: separators and "." / ".." steps are made uniform, and on Windows
// letter case does not count, as in the system's own file names.
std::filesystem::path::string_type PathIdentity(const std::filesystem::path& APath);

}  // namespace quorvel::files::platform
