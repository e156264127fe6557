#include "Windows1252.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace quorvel::files {
namespace {

// Bytes 0x80 to 0x9F; all other bytes are the code point of the same value.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

constexpr std::uint8_t kUnrepresentable = '?';

// The byte of every code unit; what has none gets "?". Built once: encoding
// is on the path of every rewritten file.
const std::array<std::uint8_t, 0x10000>& ByteOfUnit() {
    static const auto table = [] {
        std::array<std::uint8_t, 0x10000> bytes;
        bytes.fill(kUnrepresentable);
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            const bool high = byte >= 0x80 && byte <= 0x9F;
            bytes[high ? kHighControlRange[byte - 0x80] : byte] = static_cast<std::uint8_t>(byte);
        }
        return bytes;
    }();
    return table;
}

// Text is mostly ASCII: blocks of it are converted by plain widening and
// narrowing, which the compiler can do many units at a time.
constexpr std::ptrdiff_t kBlock = 16;

template <class Unit>
bool IsAscii(const Unit* AUnits, std::ptrdiff_t ACount) {
    unsigned any = 0;
    for (std::ptrdiff_t i = 0; i < ACount; ++i) any |= AUnits[i];
    return any < 0x80;
}

bool IsHighSurrogate(char16_t AUnit) { return AUnit >= 0xD800 && AUnit <= 0xDBFF; }
bool IsLowSurrogate(char16_t AUnit) { return AUnit >= 0xDC00 && AUnit <= 0xDFFF; }

}  // namespace

std::u16string DecodeWindows1252(ByteView ABytes) {
    std::u16string text(ABytes.size(), u'\0');
    char16_t* out = text.data();
    const std::uint8_t* in = ABytes.data();
    // Every byte is widened as it is; the few chunks that hold a byte of
    // 0x80 to 0x9F are mended afterwards. Both loops vectorise.
    constexpr std::size_t kChunk = 64;
    for (std::size_t base = 0; base < ABytes.size(); base += kChunk) {
        const std::size_t count = std::min(kChunk, ABytes.size() - base);
        unsigned highControls = 0;
        for (std::size_t i = 0; i < count; ++i) {
            out[base + i] = in[base + i];
            highControls |= static_cast<std::uint8_t>(in[base + i] - 0x80) < 0x20;
        }
        if (highControls == 0) continue;
        for (std::size_t i = base; i < base + count; ++i) {
            if (in[i] >= 0x80 && in[i] <= 0x9F) out[i] = kHighControlRange[in[i] - 0x80];
        }
    }
    return text;
}

Bytes EncodeWindows1252(std::u16string_view AText) {
    const auto& byteOf = ByteOfUnit();
    Bytes bytes(AText.size());
    std::uint8_t* out = bytes.data();
    for (const char16_t *in = AText.data(), *end = in + AText.size(); in != end;) {
        if (end - in >= kBlock && IsAscii(in, kBlock)) {
            std::uint8_t block[kBlock];
            for (std::ptrdiff_t i = 0; i < kBlock; ++i) block[i] = static_cast<std::uint8_t>(in[i]);
            std::memcpy(out, block, kBlock);
            in += kBlock, out += kBlock;
            continue;
        }
        const char16_t unit = *in++;
        *out++ = byteOf[unit];
        if (IsHighSurrogate(unit) && in != end && IsLowSurrogate(*in)) ++in;  // one character, one "?"
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return bytes;
}

}  // namespace quorvel::files
