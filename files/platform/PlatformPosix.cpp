#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <system_error>

#include "Platform.h"
#include "Windows1252.h"

namespace quorvel::files::platform {
namespace {

[[noreturn]] void ThrowErrno() { throw std::system_error(errno, std::generic_category()); }

void WriteAll(int AFile, ByteView ABytes) {
    std::size_t done = 0;
    while (done < ABytes.size()) {
        const ssize_t written = ::write(AFile, ABytes.data() + done, ABytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) ThrowErrno();
        done += static_cast<std::size_t>(written);
    }
}

void FillFile(int AFile, ByteView ABytes, std::optional<std::filesystem::perms> APermissions) {
    if (APermissions && ::fchmod(AFile, static_cast<mode_t>(*APermissions & std::filesystem::perms::mask)) != 0) {
        ThrowErrno();
    }
    WriteAll(AFile, ABytes);
    if (::fsync(AFile) != 0) ThrowErrno();
}

}  // namespace

std::u16string DecodeSystemAnsi(ByteView ABytes) { return DecodeWindows1252(ABytes); }
Bytes EncodeSystemAnsi(std::u16string_view AText) { return EncodeWindows1252(AText); }
Bytes ReadWholeFile(const std::filesystem::path& APath) {
    const int file = ::open(APath.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) throw std::system_error(errno, std::generic_category());
    struct Closer {
        int File;
        ~Closer() { ::close(File); }
    } closer{file};
    struct stat info {};
    if (::fstat(file, &info) != 0) throw std::system_error(errno, std::generic_category());
    if (S_ISDIR(info.st_mode)) throw std::system_error(std::make_error_code(std::errc::is_a_directory));
    if (!S_ISREG(info.st_mode)) throw std::system_error(std::make_error_code(std::errc::invalid_argument));
    Bytes bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::read(file, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) throw std::system_error(errno, std::generic_category());
        if (count == 0) break;
        done += static_cast<std::size_t>(count);
    }
    if (done != bytes.size()) {
        throw std::system_error(std::make_error_code(std::errc::io_error),
                                "fewer bytes could be read than the file's size");
    }
    return bytes;
}

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Smaller buffers come from the heap, which keeps freed ones for the next file.
constexpr std::size_t kLargeBuffer = std::size_t{4} << 20;

std::size_t RoundedToHugePages(std::size_t ASize) { return (ASize + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

void* AllocateBuffer(std::size_t ASize) {
    if (ASize < kLargeBuffer) {
        if (void* buffer = std::malloc(ASize == 0 ? 1 : ASize)) return buffer;
        throw std::bad_alloc();
    }
    // Mapped one huge page more than needed, then cut to start on a huge-page
    // boundary, where the system can back it with huge pages.
    const std::size_t size = RoundedToHugePages(ASize);
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start) ::munmap(mapped, aligned - start);
    if (const std::size_t tail = start + size + kHugePage - (aligned + size); tail > 0) {
        ::munmap(reinterpret_cast<void*>(aligned + size), tail);
    }
#ifdef MADV_HUGEPAGE
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void FreeBuffer(void* ABuffer, std::size_t ASize) noexcept {
    if (ASize < kLargeBuffer) return std::free(ABuffer);
    ::munmap(ABuffer, RoundedToHugePages(ASize));
}

bool SystemAnsiRoundTrips() { return true; }  // every byte has its own code unit
bool SystemAnsiKeepsAsciiBytes() { return true; }
Bytes SystemAnsiMark() { return {}; }

std::vector<FolderEntry> ReadFolder(const std::filesystem::path& AFolder) {
    std::vector<FolderEntry> entries;
    std::error_code error;
    std::filesystem::directory_iterator it(AFolder, error);
    if (error) throw std::system_error(error);
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code ignored;
        const bool link = it->is_symlink(ignored);
        entries.push_back({it->path().filename().native(), !link && it->is_directory(ignored), link});
    }
    return entries;
}

void CheckOpensForWriting(const std::filesystem::path& APath) {
    const int file = ::open(APath.c_str(), O_RDWR | O_CLOEXEC);
    if (file < 0) ThrowErrno();
    ::close(file);
}

std::filesystem::path SystemPath(const std::filesystem::path& APath) { return APath; }

void ReplaceWithFile(const std::filesystem::path& ATemporary, const std::filesystem::path& ATarget) {
    std::filesystem::rename(ATemporary, ATarget);  // rename(2): atomic, also over an existing file
}

std::filesystem::path::string_type PathIdentity(const std::filesystem::path& APath) {
    return APath.lexically_normal().native();
}

bool CreateFileDurably(const std::filesystem::path& APath, ByteView ABytes,
                       std::optional<std::filesystem::perms> APermissions) {
    const int file = ::open(APath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) {
        if (errno == EEXIST) return false;
        ThrowErrno();
    }
    try {
        FillFile(file, ABytes, APermissions);
    } catch (...) {
        ::close(file);
        ::unlink(APath.c_str());
        throw;
    }
    if (::close(file) != 0) {
        const int error = errno;
        ::unlink(APath.c_str());
        throw std::system_error(error, std::generic_category());
    }
    return true;
}

std::filesystem::path ProgramCacheFolder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/') {
        return std::filesystem::path(xdg) / "quorvel";
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
        return std::filesystem::path(home) / ".cache" / "quorvel";
    }
    return {};
}

std::filesystem::path RunningProgramFile() {
    std::error_code error;
    std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : file;
}

std::optional<std::filesystem::path> EnvironmentFolder(const char* AName) {
    const char* value = std::getenv(AName);
    if (!value || !*value) return std::nullopt;
    return std::filesystem::path(value);
}

std::vector<std::u16string> UserRegistrySubkeys(std::u16string_view) { return {}; }
std::optional<std::u16string> UserRegistryString(std::u16string_view, std::u16string_view) { return std::nullopt; }

}  // namespace quorvel::files::platform
