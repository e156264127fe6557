#include "SourceFormatting.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/Platform.h"

namespace quorvel::files {
namespace {

bool IsHighSurrogate(char16_t AUnit) { return AUnit >= 0xD800 && AUnit <= 0xDBFF; }

// Where ABody and AText encoded again first differ, as an offset into ABody;
// nothing when they are equal. Encodes a piece at a time, so that a large
// file is not held a second time.
std::optional<std::size_t> FirstDifference(std::u16string_view AText, SourceEncoding AEncoding, ByteView ABody) {
    constexpr std::size_t kPiece = 1 << 16;
    std::size_t compared = 0;
    for (std::size_t pos = 0; pos < AText.size();) {
        std::size_t end = std::min(pos + kPiece, AText.size());
        if (end < AText.size() && IsHighSurrogate(AText[end - 1])) ++end;  // a pair stays whole
        const Bytes piece = EncodeSourceText(AText.substr(pos, end - pos), AEncoding);
        const ByteView rest = ABody.subspan(compared);
        if (piece.size() > rest.size() || std::memcmp(piece.data(), rest.data(), piece.size()) != 0) {
            const auto [differs, _] = std::mismatch(piece.begin(), piece.end(), rest.begin(), rest.end());
            return compared + static_cast<std::size_t>(differs - piece.begin());
        }
        compared += piece.size();
        pos = end;
    }
    if (compared != ABody.size()) return compared;
    return std::nullopt;
}

bool IsUtf16(SourceEncoding AEncoding) {
    return AEncoding == SourceEncoding::Utf16LE || AEncoding == SourceEncoding::Utf16BE;
}

void CheckLossless(const Bytes& AOriginal, const FormattedSource& ASource) {
    const auto [encoding, markLength] = ASource.Encoding;
    const ByteView body = ByteView(AOriginal).subspan(markLength);
    const auto difference = FirstDifference(ASource.Text, encoding, body);
    if (!difference) return;
    const std::string reason =
        IsUtf16(encoding) && body.size() % 2 != 0
            ? "its UTF-16 text ends in a lone byte"
            : "its " + std::string(EncodingName(encoding)) + " bytes do not come back from its text " +
                  "(first difference at byte offset " + std::to_string(markLength + *difference) + ")";
    throw ContentError("Cannot rewrite", reason, " without loss");
}

// Strict UTF-8 and UTF-16 of whole code units map bytes and code units one to
// one; the ANSI code page does where the platform says so.
bool DecodingIsExact(SourceEncoding AEncoding, std::size_t ABodySize) {
    switch (AEncoding) {
        case SourceEncoding::Utf8: return true;
        case SourceEncoding::Utf16LE:
        case SourceEncoding::Utf16BE: return ABodySize % 2 == 0;
        case SourceEncoding::Ansi: break;
    }
    return platform::SystemAnsiRoundTrips();
}

}  // namespace

FormattedSource FormatSourceBytes(const Bytes& ABytes, const TQuorvel& AFormatter) {
    FormattedSource source;
    source.Encoding = DetectSourceEncoding(ABytes);
    source.Text = DecodeSourceText(ABytes, source.Encoding.Encoding, source.Encoding.MarkLength);
    source.Formatted = AFormatter.F_FormatSource(source.Text);
    return source;
}

bool FormattedSource::Changed() const {
    // Compared as bytes: the library compares code units one at a time, and
    // this runs on every file.
    return Formatted.size() != Text.size() ||
           std::memcmp(Formatted.data(), Text.data(), Text.size() * sizeof(char16_t)) != 0;
}

void CheckRewritable(const Bytes& AOriginal, const FormattedSource& ASource) {
    // Nothing is written here, so a decoding that is exact by construction
    // needs no second encoding; a real rewrite still compares the bytes.
    const auto [encoding, markLength] = ASource.Encoding;
    if (!DecodingIsExact(encoding, AOriginal.size() - markLength)) CheckLossless(AOriginal, ASource);
    CheckEncodable(ASource.Formatted, ASource.Encoding.Encoding);
}

Bytes RewrittenBytes(const Bytes& AOriginal, const FormattedSource& ASource) {
    CheckLossless(AOriginal, ASource);
    Bytes bytes = EncodingMark(ASource.Encoding.Encoding);
    const Bytes body = EncodeSourceText(ASource.Formatted, ASource.Encoding.Encoding);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

}  // namespace quorvel::files
