#pragma once
// Source files as bytes <-> text as UTF-16 code units, with their encodings.
//
// Two read rules: the preview rule knows only the UTF-8 mark; the run rule
// knows the UTF-8, UTF-16 LE and UTF-16 BE marks. Everything else is Ansi, the
// system ANSI code page (Windows-1252 off Windows). A file is written back in
// the encoding the run rule found, behind the same mark.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "Bytes.h"
#include "FileBytes.h"
#include "FileError.h"

namespace quorvel::files {

enum class SourceEncoding { Utf8, Utf16LE, Utf16BE, Ansi };

struct DetectedEncoding {
    SourceEncoding Encoding = SourceEncoding::Ansi;
    std::size_t MarkLength = 0;
};

// "UTF-8", "UTF-16 LE", "UTF-16 BE", "ANSI": for messages.
std::string_view EncodingName(SourceEncoding AEncoding);

// Preview rule: only the UTF-8 mark is recognised, everything else is Ansi.
// Throws ContentError for ill-formed UTF-8 after the mark.
std::u16string DecodePreviewText(const Bytes& ABytes);

// Run rule: UTF-8, UTF-16 LE and UTF-16 BE marks, otherwise Ansi without a mark.
DetectedEncoding DetectSourceEncoding(const Bytes& ABytes);

// The text of the bytes after the mark. UTF-8 must be well-formed; UTF-16 code
// units are taken unchecked and a final odd byte is ignored; Ansi never fails.
// Throws ContentError for ill-formed UTF-8 and for a UTF-16 body of one byte.
std::u16string DecodeSourceText(const Bytes& ABytes, SourceEncoding AEncoding, std::size_t AMarkLength);
// The same for bytes without their mark, or a part of them that splits no
// character; AOffset is where they begin in their file, for messages.
std::u16string DecodeSourceBody(ByteView ABody, SourceEncoding AEncoding, std::size_t AOffset = 0);

// Throws the ContentError DecodeSourceText would throw, without decoding.
void CheckDecodable(const Bytes& ABytes, SourceEncoding AEncoding, std::size_t AMarkLength);

// The byte-order mark written in front of a file's text.
Bytes EncodingMark(SourceEncoding AEncoding);

// The text encoded without a mark. Ansi writes what it cannot represent as "?".
// Throws ContentError for text with an unpaired surrogate in UTF-8.
Bytes EncodeSourceText(std::u16string_view AText, SourceEncoding AEncoding);

// Throws the ContentError EncodeSourceText would throw, without encoding.
void CheckEncodable(std::u16string_view AText, SourceEncoding AEncoding);

// Replaces the file with the encoding's mark and the encoded text, safely (WriteFileBytes).
void WriteTextFile(const std::filesystem::path& APath, const std::u16string& AText, SourceEncoding AEncoding);

}  // namespace quorvel::files
