#pragma once
// Everything of the source files layer that differs between Windows and the
// rest, implemented once in PlatformWindows.cpp and once in PlatformPosix.cpp.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"
#include "SystemAccess.h"

namespace quorvel::files::platform {

// The system ANSI code page, in which files without a byte-order mark are read
// and written. Windows: the code page GetACP names, through the system's
// conversion (bytes without a mapping become its substitute characters,
// characters without one its default character). Elsewhere: Windows-1252
// made total (Windows1252.h).
std::u16string DecodeSystemAnsi(ByteView ABytes);
Bytes EncodeSystemAnsi(std::u16string_view AText);

// True when every byte sequence decodes to a text that encodes back to the
// same bytes, so a rewrite can lose nothing by construction.
bool SystemAnsiRoundTrips();

// True when every byte below 0x80 stands for its ASCII character and never
// for a part of a longer one (single-byte code pages, UTF-8): then Pascal's
// syntax can be read from the bytes themselves. Not so in the double-byte
// code pages of East Asia, whose second bytes may look like `{` or `'`.
bool SystemAnsiKeepsAsciiBytes();
// EF BB BF where the system ANSI code page is UTF-8 (65001), else nothing.
Bytes SystemAnsiMark();

// Opens APath for reading, letting others read it meanwhile but not write it
// where the platform can say so, and reads it whole. Throws std::system_error:
// std::errc::is_a_directory for a folder, std::errc::invalid_argument for
// anything else that is no regular file, std::errc::io_error (with its own
// text) when fewer bytes come than the file's size,
// std::errc::device_or_resource_busy when another program holds the file open
// and shares no reading, else the platform's reason.
Bytes ReadWholeFile(const std::filesystem::path& APath);


struct FolderEntry {
    std::filesystem::path::string_type Name;
    bool IsFolder = false;  // a real folder, not a link to one
    bool IsLink = false;
};

// AFolder's entries but "." and "..", in no set order, at any path length
// (MinGW's std::filesystem::directory_iterator cannot open a folder past
// MAX_PATH, even in the long form). Throws std::system_error when the folder
// cannot be opened.
std::vector<FolderEntry> ReadFolder(const std::filesystem::path& AFolder);

// Puts ATemporary in ATarget's place in one step, ATarget existing or not.
// Windows: an existing ATarget's attributes (hidden, system, archive) pass to
// the new file. Throws std::system_error, std::errc::device_or_resource_busy
// when another program holds ATarget open; ATarget is then as it was and
// ATemporary still there.
void ReplaceWithFile(const std::filesystem::path& ATemporary, const std::filesystem::path& ATarget);


// Opens APath for reading and writing, as a rewrite needs, and closes it.
// Throws std::system_error: std::errc::device_or_resource_busy when another
// program holds the file open and shares no writing, else the platform's reason.
void CheckOpensForWriting(const std::filesystem::path& APath);



// Creates APath, which must not exist yet, gives it APermissions when set,
// writes ABytes and forces them to the disk before returning. Returns false
// when APath already exists. Throws std::system_error on any other failure,
// with the file removed again.
bool CreateFileDurably(const std::filesystem::path& APath, ByteView ABytes,
                       std::optional<std::filesystem::perms> APermissions);

// The program's folder among this user's caches, for files it can always make
// again: $XDG_CACHE_HOME/quorvel (~/.cache/quorvel without it), on Windows
// %LOCALAPPDATA%\Quorvel\Cache. Empty when the system names no such place.
std::filesystem::path ProgramCacheFolder();

// The file of the running program, so that what it cached can be told from
// what another build of it cached. Empty when the system does not say.
std::filesystem::path RunningProgramFile();

// The folder an environment variable names (HOME, LOCALAPPDATA, ...); nothing when it is unset or empty.
std::optional<std::filesystem::path> EnvironmentFolder(const char* AName);

// The names of the subkeys of HKEY_CURRENT_USER\AKey ("Software\Embarcadero\BDS"),
// in no set order; nothing when the key is missing or unreadable, and always
// nothing where there is no registry.
std::vector<std::u16string> UserRegistrySubkeys(std::u16string_view AKey);
// The string value AName of HKEY_CURRENT_USER\AKey (environment variables
// in an expandable string left as written); nothing when it is missing,
// not a string, or there is no registry.
std::optional<std::u16string> UserRegistryString(std::u16string_view AKey, std::u16string_view AName);

}  // namespace quorvel::files::platform
