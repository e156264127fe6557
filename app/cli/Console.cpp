#include "Console.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "Utf8.h"

namespace quorvel::cli {

void WriteLine(std::FILE* AStream, std::u16string_view ALine) {
    WriteText(AStream, files::Utf8FromText(ALine) + "\n");
}

void WriteText(std::FILE* AStream, std::string_view AText) { std::fwrite(AText.data(), 1, AText.size(), AStream); }

#ifdef _WIN32
bool IsTerminal(std::FILE* AStream) { return _isatty(_fileno(AStream)) != 0; }
void UseBinaryMode(std::FILE* AStream) { _setmode(_fileno(AStream), _O_BINARY); }
void PrepareConsoleForUtf8() { ::SetConsoleOutputCP(CP_UTF8); }
#else
bool IsTerminal(std::FILE* AStream) { return ::isatty(::fileno(AStream)) != 0; }
void UseBinaryMode(std::FILE*) {}
void PrepareConsoleForUtf8() {}
#endif

}  // namespace quorvel::cli
