#include "FileBytes.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <system_error>
#include <type_traits>

#include "platform/Platform.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

constexpr const char* kRead = "Cannot read";
constexpr const char* kWrite = "Cannot write";

// Empty, blank or holding a zero: no platform accepts it as a file name.
void CheckPathGiven(const fs::path& APath, const char* AAction) {
    const auto& native = APath.native();
    const auto blank = [](auto c) { return static_cast<std::make_unsigned_t<decltype(c)>>(c) <= 0x20; };
    if (std::all_of(native.begin(), native.end(), blank)) {
        throw MakeFileError(AAction, APath, "no file name given");
    }
    if (native.find(fs::path::value_type{0}) != native.npos) {
        throw MakeFileError(AAction, APath, "the name holds a zero character");
    }
}

fs::path FolderOf(const fs::path& APath) { return APath.has_parent_path() ? APath.parent_path() : fs::path("."); }

void CheckFolderExists(const fs::path& APath, const char* AAction) {
    std::error_code error;
    if (!fs::is_directory(platform::SystemPath(FolderOf(APath)), error)) {
        throw MakeFileError(AAction, APath, "its folder does not exist");
    }
}

constexpr const char* kHeldOpen = "another program holds the file open; close it there and try again";

std::string Reason(const std::system_error& AError) {
    return AError.code() == std::errc::device_or_resource_busy ? kHeldOpen : AError.code().message();
}

// Why a read failed, in words that say what the user can do about it. The
// folder is looked at only now: reading a file that is there needs no check.
FileError ReadFailure(const fs::path& APath, const std::system_error& AError) {
    const std::error_code code = AError.code();
    if (code == std::errc::is_a_directory) return MakeFileError(kRead, APath, "it is a folder, not a file");
    if (code == std::errc::invalid_argument) return MakeFileError(kRead, APath, "it is not a regular file");
    if (code == std::errc::io_error) return MakeFileError(kRead, APath, AError.what());
    if (code == std::errc::device_or_resource_busy) return MakeFileError(kRead, APath, kHeldOpen);
    if (code == std::errc::no_such_file_or_directory || code == std::errc::not_a_directory) {
        CheckFolderExists(APath, kRead);
        return MakeFileError(kRead, APath, "the file does not exist");
    }
    return MakeFileError(kRead, APath, code.message());
}

fs::path TemporaryPathBeside(const fs::path& ATarget) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = ".";
    for (auto value = random(); name.size() < 17; value >>= 4) name += kHex[value & 0xF];
    return FolderOf(ATarget) / (name + ".quorvel.tmp");
}

// The file a write replaces: the target of a link, else the path itself.
fs::path ResolveTarget(const fs::path& APath) {
    std::error_code error;
    if (!fs::is_symlink(platform::SystemPath(APath), error)) return APath;
    const fs::path target = fs::canonical(APath, error);
    if (error) throw MakeFileError(kWrite, APath, "the link names no file");
    return target;
}

// The permissions to keep when replacing ATarget, or nothing when it is new.
// Refuses what may not be replaced.
std::optional<fs::perms> CheckReplaceable(const fs::path& APath, const fs::path& ATarget) {
    std::error_code error;
    const fs::file_status status = fs::status(platform::SystemPath(ATarget), error);
    if (!fs::exists(status)) return std::nullopt;
    if (fs::is_directory(status)) throw MakeFileError(kWrite, APath, "it is a folder");
    if (!fs::is_regular_file(status)) throw MakeFileError(kWrite, APath, "it is not a regular file");
    constexpr auto kAnyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kAnyWrite) == fs::perms::none) {
        throw MakeFileError(kWrite, APath, "the file is read-only");
    }
    try {
        platform::CheckOpensForWriting(ATarget);  // no access, or held open by another program
    } catch (const std::system_error& openError) {
        throw MakeFileError(kWrite, APath, Reason(openError));
    }
    return status.permissions();
}

fs::path WriteTemporaryBeside(const fs::path& APath, const fs::path& ATarget, ByteView ABytes,
                              std::optional<fs::perms> APermissions) {
    constexpr int kAttempts = 16;  // names are random: a clash is already unlikely once
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const fs::path temporary = TemporaryPathBeside(ATarget);
        try {
            if (platform::CreateFileDurably(temporary, ABytes, APermissions)) return temporary;
        } catch (const std::system_error& error) {
            throw MakeFileError(kWrite, APath, error.code().message());
        }
    }
    throw MakeFileError(kWrite, APath, "no temporary file could be created beside it");
}

}  // namespace

Bytes ReadFileBytes(const fs::path& APath) {
    CheckPathGiven(APath, kRead);
    try {
        return platform::ReadWholeFile(APath);
    } catch (const std::system_error& error) {
        throw ReadFailure(APath, error);
    }
}

void WriteFileBytes(const fs::path& APath, ByteView ABytes, std::optional<fs::perms> ANewFilePermissions) {
    CheckPathGiven(APath, kWrite);
    const fs::path target = ResolveTarget(APath);
    CheckFolderExists(target, kWrite);
    const auto kept = CheckReplaceable(APath, target);
    const fs::path temporary = WriteTemporaryBeside(APath, target, ABytes, kept ? kept : ANewFilePermissions);
    try {
        platform::ReplaceWithFile(temporary, target);
    } catch (const std::system_error& error) {
        std::error_code ignored;
        fs::remove(platform::SystemPath(temporary), ignored);
        throw MakeFileError(kWrite, APath, Reason(error));
    }
}

fs::path BackupPathOf(const fs::path& AFile) {
    fs::path backup = AFile;
    backup += ".bak";
    return backup;
}

void WriteBackupFile(const fs::path& AFile, ByteView AOldBytes) {
    // A backup only ever precedes a rewrite: a file that cannot be replaced gets none.
    const auto permissions = CheckReplaceable(AFile, ResolveTarget(AFile));
    WriteFileBytes(BackupPathOf(AFile), AOldBytes, permissions);
}

}  // namespace quorvel::files
