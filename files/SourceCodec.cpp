#include "SourceCodec.h"

#include <algorithm>
#include <array>

#include "Utf8.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace {

constexpr std::array<std::uint8_t, 3> kUtf8Mark = {0xEF, 0xBB, 0xBF};
constexpr std::array<std::uint8_t, 2> kUtf16LEMark = {0xFF, 0xFE};
constexpr std::array<std::uint8_t, 2> kUtf16BEMark = {0xFE, 0xFF};

template <std::size_t N>
bool StartsWith(ByteView ABytes, const std::array<std::uint8_t, N>& AMark) {
    return ABytes.size() >= N && std::equal(AMark.begin(), AMark.end(), ABytes.begin());
}

ContentError IllFormedUtf8Error(std::size_t AOffset) {
    return ContentError("Cannot decode", "ill-formed UTF-8 at byte offset " + std::to_string(AOffset));
}

std::u16string DecodeUtf8Body(ByteView ABody, std::size_t AMarkLength) {
    Utf8Decoding decoding = DecodeUtf8Strict(ABody);
    if (decoding.ErrorOffset) throw IllFormedUtf8Error(AMarkLength + *decoding.ErrorOffset);
    return std::move(decoding.Text);
}

std::u16string DecodeUtf16Body(ByteView ABody, bool ABigEndian) {
    if (ABody.size() == 1) throw ContentError("Cannot decode", "its UTF-16 text is a single byte");
    std::u16string text(ABody.size() / 2, u'\0');
    const int high = ABigEndian ? 0 : 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(ABody[2 * i + high] << 8 | ABody[2 * i + 1 - high]);
    }
    return text;
}

Bytes EncodeUtf16(std::u16string_view AText, bool ABigEndian) {
    Bytes bytes(AText.size() * 2);
    const int high = ABigEndian ? 0 : 1;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        bytes[2 * i + high] = static_cast<std::uint8_t>(AText[i] >> 8);
        bytes[2 * i + 1 - high] = static_cast<std::uint8_t>(AText[i] & 0xFF);
    }
    return bytes;
}

ContentError UnpairedSurrogateError(std::size_t AIndex) {
    return ContentError("Cannot encode",
                        "UTF-8 cannot hold the unpaired surrogate at text position " + std::to_string(AIndex + 1));
}

Bytes EncodeUtf8(std::u16string_view AText) {
    Bytes bytes;
    if (const auto surrogate = EncodeUtf8Strict(AText, bytes)) throw UnpairedSurrogateError(*surrogate);
    return bytes;
}

}  // namespace

std::string_view EncodingName(SourceEncoding AEncoding) {
    switch (AEncoding) {
        case SourceEncoding::Utf8: return "UTF-8";
        case SourceEncoding::Utf16LE: return "UTF-16 LE";
        case SourceEncoding::Utf16BE: return "UTF-16 BE";
        case SourceEncoding::Ansi: break;
    }
    return "ANSI";
}

std::u16string DecodePreviewText(const Bytes& ABytes) {
    if (StartsWith(ABytes, kUtf8Mark)) return DecodeSourceText(ABytes, SourceEncoding::Utf8, kUtf8Mark.size());
    return DecodeSourceText(ABytes, SourceEncoding::Ansi, 0);
}

DetectedEncoding DetectSourceEncoding(const Bytes& ABytes) {
    if (StartsWith(ABytes, kUtf8Mark)) return {SourceEncoding::Utf8, kUtf8Mark.size()};
    if (StartsWith(ABytes, kUtf16LEMark)) return {SourceEncoding::Utf16LE, kUtf16LEMark.size()};
    if (StartsWith(ABytes, kUtf16BEMark)) return {SourceEncoding::Utf16BE, kUtf16BEMark.size()};
    return {SourceEncoding::Ansi, 0};
}

std::u16string DecodeSourceText(const Bytes& ABytes, SourceEncoding AEncoding, std::size_t AMarkLength) {
    const std::size_t markLength = std::min(AMarkLength, ABytes.size());
    return DecodeSourceBody(ByteView(ABytes).subspan(markLength), AEncoding, markLength);
}

std::u16string DecodeSourceBody(ByteView ABody, SourceEncoding AEncoding, std::size_t AOffset) {
    switch (AEncoding) {
        case SourceEncoding::Utf8: return DecodeUtf8Body(ABody, AOffset);
        case SourceEncoding::Utf16LE: return DecodeUtf16Body(ABody, false);
        case SourceEncoding::Utf16BE: return DecodeUtf16Body(ABody, true);
        case SourceEncoding::Ansi: break;
    }
    return platform::DecodeSystemAnsi(ABody);
}

void CheckDecodable(const Bytes& ABytes, SourceEncoding AEncoding, std::size_t AMarkLength) {
    const ByteView body = ByteView(ABytes).subspan(std::min(AMarkLength, ABytes.size()));
    switch (AEncoding) {
        case SourceEncoding::Utf8:
            if (const auto offset = FindIllFormedUtf8(body)) throw IllFormedUtf8Error(AMarkLength + *offset);
            return;
        case SourceEncoding::Utf16LE:
        case SourceEncoding::Utf16BE:
            if (body.size() == 1) DecodeUtf16Body(body, false);  // throws its error
            return;
        case SourceEncoding::Ansi: return;
    }
}

Bytes EncodingMark(SourceEncoding AEncoding) {
    switch (AEncoding) {
        case SourceEncoding::Utf8: return {kUtf8Mark.begin(), kUtf8Mark.end()};
        case SourceEncoding::Utf16LE: return {kUtf16LEMark.begin(), kUtf16LEMark.end()};
        case SourceEncoding::Utf16BE: return {kUtf16BEMark.begin(), kUtf16BEMark.end()};
        case SourceEncoding::Ansi: break;
    }
    return platform::SystemAnsiMark();
}

Bytes EncodeSourceText(std::u16string_view AText, SourceEncoding AEncoding) {
    switch (AEncoding) {
        case SourceEncoding::Utf8: return EncodeUtf8(AText);
        case SourceEncoding::Utf16LE: return EncodeUtf16(AText, false);
        case SourceEncoding::Utf16BE: return EncodeUtf16(AText, true);
        case SourceEncoding::Ansi: break;
    }
    return platform::EncodeSystemAnsi(AText);
}

void CheckEncodable(std::u16string_view AText, SourceEncoding AEncoding) {
    if (AEncoding != SourceEncoding::Utf8) return;  // UTF-16 takes any code unit; Ansi writes "?"
    if (const auto surrogate = FindUnpairedSurrogate(AText)) throw UnpairedSurrogateError(*surrogate);
}

void WriteTextFile(const std::filesystem::path& APath, const std::u16string& AText, SourceEncoding AEncoding) {
    Bytes bytes = EncodingMark(AEncoding);
    try {
        const Bytes body = EncodeSourceText(AText, AEncoding);
        bytes.insert(bytes.end(), body.begin(), body.end());
    } catch (const ContentError& error) {
        throw error.ForFile(APath);
    }
    WriteFileBytes(APath, bytes);
}

}  // namespace quorvel::files
