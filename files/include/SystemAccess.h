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

// A batch run allocates and frees buffers of a file's size for every file;
// asks the allocator to keep freed memory for the next file rather than
// return it to the system and fault it in again. Call once, at start-up.
void KeepFreedMemoryForReuse();

// The window holds a big file several times over (its bytes, its text, both
// views). With glibc on Linux, such buffers come much faster in huge pages
// and kept for reuse, which only settings read at start-up can ask for
// (GLIBC_TUNABLES): when none are set, starts the program again, in place,
// with them. Returns when that is not needed or not possible; elsewhere it
// does nothing.
void RestartWithLargeBufferHeap(char* argv[]);

}  // namespace quorvel::files::platform
