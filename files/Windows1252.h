#pragma once
// Windows-1252, made total: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090 and
// U+009D, so every byte sequence decodes and encodes back to itself.

#include <string>
#include <string_view>

#include "Bytes.h"

namespace quorvel::files {

std::u16string DecodeWindows1252(ByteView ABytes);

// Characters the code page cannot represent are written as "?", one per
// character (a surrogate pair is one character).
Bytes EncodeWindows1252(std::u16string_view AText);

}  // namespace quorvel::files
