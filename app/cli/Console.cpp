#include "Console.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "Utf8.h"

namespace quorvel::cli {

void WriteLine(std::FILE* AStream, std::u16string_view ALine) {
    WriteText(AStream, files::Utf8FromText(ALine) + "\n");
}

void WriteBytes(std::FILE* AStream, std::string_view ABytes) {
    std::fwrite(ABytes.data(), 1, ABytes.size(), AStream);
}

#ifdef _WIN32
namespace {

// The console behind AStream, or nothing when it goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* AStream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(AStream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

void WriteText(std::FILE* AStream, std::string_view AText) {
    const HANDLE console = ConsoleOf(AStream);
    if (!console) return WriteBytes(AStream, AText);
    std::fflush(AStream);  // what went before through the stream comes first
    const std::u16string text = files::TextFromUtf8(AText);
    DWORD written = 0;
    ::WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool IsTerminal(std::FILE* AStream) { return _isatty(_fileno(AStream)) != 0; }
std::optional<std::size_t> RegularFileSize(std::FILE* AStream) {
    struct _stat64 info {};
    if (_fstat64(_fileno(AStream), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
    return static_cast<std::size_t>(info.st_size);
}
void UseBinaryMode(std::FILE* AStream) { _setmode(_fileno(AStream), _O_BINARY); }
void PrepareStandardStreams() {
    UseBinaryMode(stdout);
    UseBinaryMode(stderr);
}
#else
void WriteText(std::FILE* AStream, std::string_view AText) { WriteBytes(AStream, AText); }
bool IsTerminal(std::FILE* AStream) { return ::isatty(::fileno(AStream)) != 0; }
std::optional<std::size_t> RegularFileSize(std::FILE* AStream) {
    struct stat info {};
    if (::fstat(::fileno(AStream), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::size_t>(info.st_size);
}
void UseBinaryMode(std::FILE*) {}
void PrepareStandardStreams() {}
#endif

}  // namespace quorvel::cli
