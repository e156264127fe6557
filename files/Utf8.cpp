#include "Utf8.h"

#include <cstring>

namespace quorvel::files {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

struct CodePoint {
    char32_t Value = 0;
    std::size_t Length = 0;  // bytes taken; on failure the length of the ill-formed part (at least 1)
    bool Valid = false;
};

// Reads one scalar value at APos by the table of well-formed byte sequences.
template <class Byte>
CodePoint ReadCodePoint(const Byte* AData, std::size_t ASize, std::size_t APos) {
    const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(AData[APos + i]); };
    const std::uint8_t lead = at(0);
    if (lead < 0x80) return {lead, 1, true};

    std::size_t length = 0;
    std::uint8_t secondLow = 0x80, secondHigh = 0xBF;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F;
        if (lead == 0xE0) secondLow = 0xA0;   // no overlong forms
        if (lead == 0xED) secondHigh = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07;
        if (lead == 0xF0) secondLow = 0x90;   // no overlong forms
        if (lead == 0xF4) secondHigh = 0x8F;  // nothing above U+10FFFF
    } else {
        return {0, 1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        const std::uint8_t low = i == 1 ? secondLow : 0x80;
        const std::uint8_t high = i == 1 ? secondHigh : 0xBF;
        if (APos + i >= ASize || at(i) < low || at(i) > high) return {0, i, false};
        value = (value << 6) | (at(i) & 0x3F);
    }
    return {value, length, true};
}

void AppendCodeUnits(char32_t AValue, std::u16string& AOut) {
    if (AValue < 0x10000) {
        AOut.push_back(static_cast<char16_t>(AValue));
    } else {
        AValue -= 0x10000;
        AOut.push_back(static_cast<char16_t>(0xD800 + (AValue >> 10)));
        AOut.push_back(static_cast<char16_t>(0xDC00 + (AValue & 0x3FF)));
    }
}

template <class Out>
void AppendUtf8(char32_t AValue, Out& AOut) {
    using Unit = typename Out::value_type;
    if (AValue < 0x80) {
        AOut.push_back(static_cast<Unit>(AValue));
    } else if (AValue < 0x800) {
        AOut.push_back(static_cast<Unit>(0xC0 | (AValue >> 6)));
        AOut.push_back(static_cast<Unit>(0x80 | (AValue & 0x3F)));
    } else if (AValue < 0x10000) {
        AOut.push_back(static_cast<Unit>(0xE0 | (AValue >> 12)));
        AOut.push_back(static_cast<Unit>(0x80 | ((AValue >> 6) & 0x3F)));
        AOut.push_back(static_cast<Unit>(0x80 | (AValue & 0x3F)));
    } else {
        AOut.push_back(static_cast<Unit>(0xF0 | (AValue >> 18)));
        AOut.push_back(static_cast<Unit>(0x80 | ((AValue >> 12) & 0x3F)));
        AOut.push_back(static_cast<Unit>(0x80 | ((AValue >> 6) & 0x3F)));
        AOut.push_back(static_cast<Unit>(0x80 | (AValue & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t AUnit) { return AUnit >= 0xD800 && AUnit <= 0xDBFF; }
bool IsLowSurrogate(char16_t AUnit) { return AUnit >= 0xDC00 && AUnit <= 0xDFFF; }

// The scalar value at APos and how many code units it takes; an unpaired
// surrogate comes back as itself with Valid false.
CodePoint ReadScalar(std::u16string_view AText, std::size_t APos) {
    const char16_t unit = AText[APos];
    if (IsHighSurrogate(unit) && APos + 1 < AText.size() && IsLowSurrogate(AText[APos + 1])) {
        const char32_t value = 0x10000 + ((unit - 0xD800) << 10) + (AText[APos + 1] - 0xDC00);
        return {value, 2, true};
    }
    const bool surrogate = IsHighSurrogate(unit) || IsLowSurrogate(unit);
    return {unit, 1, !surrogate};
}

}  // namespace

Utf8Decoding DecodeUtf8Strict(ByteView ABytes) {
    Utf8Decoding result;
    result.Text.reserve(ABytes.size());
    for (std::size_t pos = 0; pos < ABytes.size();) {
        if (ABytes[pos] < 0x80) {  // the common case, kept short
            result.Text.push_back(ABytes[pos++]);
            continue;
        }
        const CodePoint point = ReadCodePoint(ABytes.data(), ABytes.size(), pos);
        if (!point.Valid) return {{}, pos};
        AppendCodeUnits(point.Value, result.Text);
        pos += point.Length;
    }
    return result;
}

std::optional<std::size_t> FindIllFormedUtf8(ByteView ABytes) {
    std::size_t pos = 0;
    while (pos < ABytes.size()) {
        // Eight ASCII bytes at a time: the common case of source text.
        std::uint64_t eight = 0;
        if (pos + 8 <= ABytes.size() && (std::memcpy(&eight, ABytes.data() + pos, 8), (eight & 0x8080808080808080u) == 0)) {
            pos += 8;
            continue;
        }
        if (ABytes[pos] < 0x80) {
            ++pos;
            continue;
        }
        const CodePoint point = ReadCodePoint(ABytes.data(), ABytes.size(), pos);
        if (!point.Valid) return pos;
        pos += point.Length;
    }
    return std::nullopt;
}

std::optional<std::size_t> EncodeUtf8Strict(std::u16string_view AText, Bytes& AOut) {
    const std::size_t start = AOut.size();
    AOut.reserve(start + AText.size());
    for (std::size_t pos = 0; pos < AText.size();) {
        const CodePoint point = ReadScalar(AText, pos);
        if (!point.Valid) {
            AOut.resize(start);
            return pos;
        }
        AppendUtf8(point.Value, AOut);
        pos += point.Length;
    }
    return std::nullopt;
}

std::optional<std::size_t> FindUnpairedSurrogate(std::u16string_view AText) {
    for (std::size_t pos = 0; pos < AText.size();) {
        const CodePoint point = ReadScalar(AText, pos);
        if (!point.Valid) return pos;
        pos += point.Length;
    }
    return std::nullopt;
}

std::u16string TextFromUtf8(std::string_view AUtf8) {
    std::u16string text;
    text.reserve(AUtf8.size());
    for (std::size_t pos = 0; pos < AUtf8.size();) {
        const CodePoint point = ReadCodePoint(AUtf8.data(), AUtf8.size(), pos);
        AppendCodeUnits(point.Valid ? point.Value : kReplacement, text);
        pos += point.Length;
    }
    return text;
}

std::string Utf8FromText(std::u16string_view AText) {
    std::string utf8;
    utf8.reserve(AText.size());
    for (std::size_t pos = 0; pos < AText.size();) {
        const CodePoint point = ReadScalar(AText, pos);
        AppendUtf8(point.Valid ? point.Value : kReplacement, utf8);
        pos += point.Length;
    }
    return utf8;
}

}  // namespace quorvel::files
