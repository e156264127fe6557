#include "TestText.h"

#include <cstdio>

namespace quorvel::test {
namespace {

int SequenceLength(unsigned char ALead) {
    if (ALead < 0x80) return 1;
    if ((ALead >> 5) == 6) return 2;
    if ((ALead >> 4) == 14) return 3;
    if ((ALead >> 3) == 30) return 4;
    return 0;
}

void AppendCodePoint(std::u16string& AText, char32_t ACode) {
    if (ACode >= 0x10000) {
        AText += static_cast<char16_t>(0xD800 + ((ACode - 0x10000) >> 10));
        AText += static_cast<char16_t>(0xDC00 + ((ACode - 0x10000) & 0x3FF));
    } else {
        AText += static_cast<char16_t>(ACode);
    }
}

}  // namespace

std::optional<std::u16string> DecodeUtf8(std::string_view ABytes) {
    std::u16string text;
    for (std::size_t i = 0; i < ABytes.size();) {
        const auto lead = static_cast<unsigned char>(ABytes[i]);
        const int length = SequenceLength(lead);
        if (length == 0 || i + length > ABytes.size()) return std::nullopt;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(ABytes[i + k]);
            if ((next >> 6) != 2) return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        AppendCodePoint(text, code);
        i += length;
    }
    return text;
}

std::string EncodeUtf8(std::u16string_view AText) {
    std::string bytes;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        char32_t c = AText[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < AText.size() && AText[i + 1] >= 0xDC00 && AText[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (AText[++i] - 0xDC00);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if (c < 0x800) {
            bytes += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            bytes += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                      static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            bytes += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                      static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return bytes;
}

std::string Show(std::u16string_view AText) {
    std::string result;
    for (char16_t c : AText) {
        if (c == u'\r') result += "\\r";
        else if (c == u'\n') result += "\\n";
        else if (c >= 0x20 && c < 0x7F) result += static_cast<char>(c);
        else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
            result += buffer;
        }
    }
    return result;
}

}  // namespace quorvel::test
