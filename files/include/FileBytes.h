#pragma once
// Whole files as bytes: reading, replacing a file safely, and backups.
// Every failure is a FileError whose message names the path.

#include <filesystem>
#include <optional>

#include "Bytes.h"
#include "FileError.h"

namespace quorvel::files {

// The file's complete content.
Bytes ReadFileBytes(const std::filesystem::path& APath);

// Makes APath hold exactly ABytes, or leaves it as it was: the bytes go to a
// temporary file in the same folder, are forced to the disk, and the temporary
// file is then renamed over APath. An existing file keeps its permissions; a
// new one gets ANewFilePermissions when given. A file without any write
// permission bit is read-only and fails, also for root. No temporary file
// outlives the call. A symbolic link is followed: the file it names is replaced.
void WriteFileBytes(const std::filesystem::path& APath, ByteView ABytes,
                    std::optional<std::filesystem::perms> ANewFilePermissions = std::nullopt);

// The backup of a file is its full path with ".bak" appended.
std::filesystem::path BackupPathOf(const std::filesystem::path& AFile);

// Writes the exact bytes AFile held to its backup, replacing an earlier one.
// Fails without writing when AFile itself could not be replaced afterwards.
// A new backup gets AFile's permissions, so a private file's backup stays private.
void WriteBackupFile(const std::filesystem::path& AFile, ByteView AOldBytes);

}  // namespace quorvel::files
