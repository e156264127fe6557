#pragma once
// UTF-8 <-> UTF-16 code units. The strict forms are the file codec's: only
// well-formed UTF-8 in the sense of the Unicode standard (no overlong forms, no
// surrogates, nothing above U+10FFFF) is read, and only text without unpaired
// surrogates is written. The lenient forms are for messages and consoles.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Bytes.h"

namespace quorvel::files {

struct Utf8Decoding {
    std::u16string Text;
    std::optional<std::size_t> ErrorOffset;  // the first ill-formed byte; Text is then empty
};
Utf8Decoding DecodeUtf8Strict(ByteView ABytes);
// The offset of the first ill-formed byte, as DecodeUtf8Strict finds it,
// without decoding.
std::optional<std::size_t> FindIllFormedUtf8(ByteView ABytes);

// Appends AText as UTF-8. Returns the index of the first unpaired surrogate
// instead, with AOut left as it was.
std::optional<std::size_t> EncodeUtf8Strict(std::u16string_view AText, Bytes& AOut);

// The index of the first surrogate that is not part of a pair.
std::optional<std::size_t> FindUnpairedSurrogate(std::u16string_view AText);

std::u16string TextFromUtf8(std::string_view AUtf8);  // ill-formed parts become U+FFFD
std::string Utf8FromText(std::u16string_view AText);  // unpaired surrogates become U+FFFD

}  // namespace quorvel::files
