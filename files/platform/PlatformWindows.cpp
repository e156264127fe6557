#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <climits>
#include <cstring>
#include <cwchar>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <system_error>

#include "Platform.h"

namespace quorvel::files::platform {
namespace {

// Taken when first needed and kept for the life of the process.
UINT AnsiCodePage() {
    static const UINT codePage = ::GetACP();
    return codePage;
}

// Another program holds the file open and shares no access that would let this happen.
bool IsHeldOpen(DWORD AError) {
    return AError == ERROR_SHARING_VIOLATION || AError == ERROR_LOCK_VIOLATION;
}

[[noreturn]] void ThrowError(DWORD AError) {
    if (IsHeldOpen(AError)) throw std::system_error(std::make_error_code(std::errc::device_or_resource_busy));
    throw std::system_error(static_cast<int>(AError), std::system_category());
}

[[noreturn]] void ThrowLastError() { ThrowError(::GetLastError()); }

bool HasLongPathPrefix(const std::wstring& APath) {
    return APath.starts_with(LR"(\\?\)") || APath.starts_with(LR"(\\.\)");
}

// A rename over a file that another program holds open without sharing its
// deletion fails as "access denied"; asking for the right to delete tells.
bool IsHeldWithoutDeleting(const std::filesystem::path& APath) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = ::CreateFileW(APath.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION;
}

// Folders stop 12 characters short of MAX_PATH, leaving room for a file name.
constexpr std::size_t kLongPathFrom = MAX_PATH - 12;

int CheckedLength(std::size_t ASize) {
    if (ASize > static_cast<std::size_t>(INT_MAX)) throw std::system_error(ERROR_FILE_TOO_LARGE, std::system_category());
    return static_cast<int>(ASize);
}

void WriteAll(HANDLE AFile, ByteView ABytes) {
    std::size_t done = 0;
    while (done < ABytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(ABytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(AFile, ABytes.data() + done, chunk, &written, nullptr) || written != chunk) ThrowLastError();
        done += written;
    }
    if (!::FlushFileBuffers(AFile)) ThrowLastError();
}

}  // namespace

std::u16string DecodeSystemAnsi(ByteView ABytes) {
    if (ABytes.empty()) return {};
    const auto* source = reinterpret_cast<const char*>(ABytes.data());
    const int sourceLength = CheckedLength(ABytes.size());
    const int length = ::MultiByteToWideChar(AnsiCodePage(), 0, source, sourceLength, nullptr, 0);
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    ::MultiByteToWideChar(AnsiCodePage(), 0, source, sourceLength, reinterpret_cast<wchar_t*>(text.data()), length);
    return text;
}

Bytes EncodeSystemAnsi(std::u16string_view AText) {
    if (AText.empty()) return {};
    const auto* source = reinterpret_cast<const wchar_t*>(AText.data());
    const int sourceLength = CheckedLength(AText.size());
    // Without "best fit" a character the code page lacks becomes "?", as
    // elsewhere, rather than a look-alike letter (a-macron as "a").
    const DWORD flags = AnsiCodePage() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = ::WideCharToMultiByte(AnsiCodePage(), flags, source, sourceLength, nullptr, 0, nullptr, nullptr);
    Bytes bytes(static_cast<std::size_t>(length));
    ::WideCharToMultiByte(AnsiCodePage(), flags, source, sourceLength, reinterpret_cast<char*>(bytes.data()), length,
                          nullptr, nullptr);
    return bytes;
}

// Code pages need not map every byte, nor map back what they do: the caller
// compares instead.
Bytes ReadWholeFile(const std::filesystem::path& APath) {
    const std::filesystem::path path = SystemPath(APath);
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw std::system_error(std::make_error_code(std::errc::is_a_directory));
    }
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory));
        }
        ThrowError(error);
    }
    struct Closer {
        HANDLE File;
        ~Closer() { ::CloseHandle(File); }
    } closer{file};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) ThrowLastError();
    Bytes bytes(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data() + done, chunk, &read, nullptr)) ThrowLastError();
        if (read == 0) break;
        done += read;
    }
    if (done != bytes.size()) {
        throw std::system_error(std::make_error_code(std::errc::io_error),
                                "fewer bytes could be read than the file's size");
    }
    return bytes;
}


void* AllocateBuffer(std::size_t ASize) { return ::operator new(ASize == 0 ? 1 : ASize); }
void FreeBuffer(void* ABuffer, std::size_t) noexcept { ::operator delete(ABuffer); }

bool SystemAnsiRoundTrips() { return false; }

bool SystemAnsiKeepsAsciiBytes() {
    static const bool keeps = [] {
        CPINFO info{};
        return AnsiCodePage() == CP_UTF8 || (::GetCPInfo(AnsiCodePage(), &info) && info.MaxCharSize == 1);
    }();
    return keeps;
}

Bytes SystemAnsiMark() {
    if (AnsiCodePage() == CP_UTF8) return {0xEF, 0xBB, 0xBF};
    return {};
}

std::vector<FolderEntry> ReadFolder(const std::filesystem::path& AFolder) {
    std::wstring pattern = SystemPath(AFolder).native();
    if (!pattern.ends_with(L'\\') && !pattern.ends_with(L'/')) pattern += L'\\';  // "\\?\" paths take no doubled one
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) ThrowLastError();
    std::vector<FolderEntry> entries;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD tag = found.dwReserved0;  // the kind of reparse point
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                          (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT);
        entries.push_back({std::wstring(name), !link && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY), link});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return entries;
}

void CheckOpensForWriting(const std::filesystem::path& APath) {
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = ::CreateFileW(SystemPath(APath).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowLastError();
    ::CloseHandle(file);
}

std::filesystem::path SystemPath(const std::filesystem::path& APath) {
    const std::wstring& native = APath.native();
    if (native.size() < kLongPathFrom || HasLongPathPrefix(native)) return APath;
    // The prefix turns off the system's own clean-up of the path: it is done here.
    const DWORD size = ::GetFullPathNameW(native.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length = size == 0 ? 0 : ::GetFullPathNameW(native.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return APath;
    full.resize(length);
    if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);  // \\server\share\...
    return LR"(\\?\)" + full;
}

void ReplaceWithFile(const std::filesystem::path& ATemporary, const std::filesystem::path& ATarget) {
    const std::filesystem::path temporary = SystemPath(ATemporary), target = SystemPath(ATarget);
    // A rename in one step; the new file takes over the attributes a rename
    // would drop. (ReplaceFileW would keep them too, but where it fails it can
    // leave a file of its own beside the target.)
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !::SetFileAttributesW(temporary.c_str(), attributes & kKept)) {
        ThrowLastError();
    }
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ThrowError(error == ERROR_ACCESS_DENIED && IsHeldWithoutDeleting(target) ? ERROR_SHARING_VIOLATION : error);
    }
}

std::filesystem::path::string_type PathIdentity(const std::filesystem::path& APath) {
    std::wstring text = APath.lexically_normal().make_preferred().native();
    if (!text.empty()) ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool CreateFileDurably(const std::filesystem::path& APath, ByteView ABytes,
                       std::optional<std::filesystem::perms> APermissions) {
    const std::filesystem::path path = SystemPath(APath);
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_EXISTS) return false;
        ThrowLastError();
    }
    try {
        WriteAll(file, ABytes);
    } catch (...) {
        ::CloseHandle(file);
        ::DeleteFileW(path.c_str());
        throw;
    }
    ::CloseHandle(file);
    // Windows keeps only the read-only flag of these bits; the file is closed before it is set.
    std::error_code error;
    if (APermissions) std::filesystem::permissions(path, *APermissions, error);
    if (error) {
        ::DeleteFileW(path.c_str());
        throw std::system_error(error);
    }
    return true;
}

std::filesystem::path ProgramCacheFolder() {
    const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA");
    if (local == nullptr || *local == L'\0') return {};
    return std::filesystem::path(local) / L"Quorvel" / L"Cache";
}

std::filesystem::path RunningProgramFile() {
    std::wstring file(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
        if (length == 0) return {};
        if (length < file.size()) {
            file.resize(length);
            return file;
        }
        file.resize(file.size() * 2);
    }
}

namespace {

std::wstring Wide(std::u16string_view AText) { return std::wstring(AText.begin(), AText.end()); }

// The key open for reading, closed when the holder goes; null when it cannot be opened.
struct OpenKey {
    HKEY Handle = nullptr;
    explicit OpenKey(std::u16string_view AKey) {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(AKey).c_str(), 0, KEY_READ, &Handle) != ERROR_SUCCESS) Handle = nullptr;
    }
    ~OpenKey() {
        if (Handle) ::RegCloseKey(Handle);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
};

}  // namespace

std::optional<std::filesystem::path> EnvironmentFolder(const char* AName) {
    const std::wstring name(AName, AName + std::strlen(AName));
    const wchar_t* value = ::_wgetenv(name.c_str());
    if (!value || !*value) return std::nullopt;
    return std::filesystem::path(value);
}

std::vector<std::u16string> UserRegistrySubkeys(std::u16string_view AKey) {
    std::vector<std::u16string> names;
    const OpenKey key(AKey);
    if (!key.Handle) return names;
    wchar_t name[256];  // the longest key name the registry allows is 255
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(std::size(name));
        const LSTATUS status = ::RegEnumKeyExW(key.Handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_SUCCESS) names.emplace_back(name, name + length);
        else if (status != ERROR_MORE_DATA) break;
    }
    return names;
}

std::optional<std::u16string> UserRegistryString(std::u16string_view AKey, std::u16string_view AName) {
    const OpenKey key(AKey);
    if (!key.Handle) return std::nullopt;
    const std::wstring name = Wide(AName);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExW(key.Handle, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.Handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.resize(std::wcslen(value.c_str()));  // the stored string may or may not end with its null
    return std::u16string(value.begin(), value.end());
}

}  // namespace quorvel::files::platform
