#pragma once
// Source files as bytes <-> text as UTF-16 code units, with their encodings.
// Every failure is a FileError whose message names the path.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvel::files {

using Bytes = std::vector<std::uint8_t>;

enum class SourceEncoding { Utf8, Utf16LE, Utf16BE, Ansi };

struct DetectedEncoding {
    SourceEncoding Encoding = SourceEncoding::Ansi;
    std::size_t MarkLength = 0;
};

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's complete content.
Bytes ReadFileBytes(const std::filesystem::path& APath);

// Preview rule: only the UTF-8 mark is recognised, everything else is Ansi.
std::u16string DecodePreviewText(const Bytes& ABytes);

// Run rule: UTF-8, UTF-16 LE and UTF-16 BE marks, otherwise Ansi.
DetectedEncoding DetectSourceEncoding(const Bytes& ABytes);
std::u16string DecodeSourceText(const Bytes& ABytes, SourceEncoding AEncoding, std::size_t AMarkLength);

// Replaces the file with the encoding's mark and the encoded text, atomically.
void WriteTextFile(const std::filesystem::path& APath, const std::u16string& AText, SourceEncoding AEncoding);

}  // namespace quorvel::files
