#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <climits>
#include <system_error>

#include "Platform.h"

namespace quorvel::files::platform {
namespace {

// Taken when first needed and kept for the life of the process.
UINT AnsiCodePage() {
    static const UINT codePage = ::GetACP();
    return codePage;
}

[[noreturn]] void ThrowLastError() { throw std::system_error(static_cast<int>(::GetLastError()), std::system_category()); }

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
    const int length = ::WideCharToMultiByte(AnsiCodePage(), 0, source, sourceLength, nullptr, 0, nullptr, nullptr);
    Bytes bytes(static_cast<std::size_t>(length));
    ::WideCharToMultiByte(AnsiCodePage(), 0, source, sourceLength, reinterpret_cast<char*>(bytes.data()), length,
                          nullptr, nullptr);
    return bytes;
}

// Code pages need not map every byte, nor map back what they do: the caller
// compares instead.
Bytes ReadWholeFile(const std::filesystem::path& APath) {
    const DWORD attributes = ::GetFileAttributesW(APath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw std::system_error(std::make_error_code(std::errc::is_a_directory));
    }
    const HANDLE file = ::CreateFileW(APath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            throw std::system_error(std::make_error_code(std::errc::no_such_file_or_directory));
        }
        throw std::system_error(static_cast<int>(error), std::system_category());
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

void KeepFreedMemoryForReuse() {}  // the system heap keeps freed blocks itself

bool SystemAnsiRoundTrips() { return false; }

Bytes SystemAnsiMark() {
    if (AnsiCodePage() == CP_UTF8) return {0xEF, 0xBB, 0xBF};
    return {};
}

bool CreateFileDurably(const std::filesystem::path& APath, ByteView ABytes,
                       std::optional<std::filesystem::perms> APermissions) {
    const HANDLE file = ::CreateFileW(APath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_FILE_EXISTS) return false;
        ThrowLastError();
    }
    try {
        WriteAll(file, ABytes);
    } catch (...) {
        ::CloseHandle(file);
        ::DeleteFileW(APath.c_str());
        throw;
    }
    ::CloseHandle(file);
    // Windows keeps only the read-only flag of these bits; the file is closed before it is set.
    std::error_code error;
    if (APermissions) std::filesystem::permissions(APath, *APermissions, error);
    if (error) {
        ::DeleteFileW(APath.c_str());
        throw std::system_error(error);
    }
    return true;
}

}  // namespace quorvel::files::platform
