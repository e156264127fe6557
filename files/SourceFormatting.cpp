#include "SourceFormatting.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/Platform.h"

namespace quorvel::files {
namespace {

bool IsHighSurrogate(char16_t AUnit) { return AUnit >= 0xD800 && AUnit <= 0xDBFF; }

bool IsUtf16(SourceEncoding AEncoding) {
    return AEncoding == SourceEncoding::Utf16LE || AEncoding == SourceEncoding::Utf16BE;
}

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

// The bytes from AOffset on must come back from their text, AText.
void CheckLossless(ByteView ABytes, std::size_t AOffset, std::u16string_view AText, SourceEncoding AEncoding) {
    const auto difference = FirstDifference(AText, AEncoding, ABytes);
    if (!difference) return;
    throw ContentError("Cannot rewrite",
                       "its " + std::string(EncodingName(AEncoding)) + " bytes do not come back from its text " +
                           "(first difference at byte offset " + std::to_string(AOffset + *difference) + ")",
                       " without loss");
}

void CheckWholeCodeUnits(ByteView ABody, SourceEncoding AEncoding) {
    if (IsUtf16(AEncoding) && ABody.size() % 2 != 0) {
        throw ContentError("Cannot rewrite", "its UTF-16 text ends in a lone byte", " without loss");
    }
}

// Strict UTF-8 maps bytes and code units one to one; the ANSI code page does
// where the platform says so.
bool DecodingIsExact(SourceEncoding AEncoding) {
    return AEncoding == SourceEncoding::Utf8 || platform::SystemAnsiRoundTrips();
}

std::string_view AsChars(ByteView ABytes) {
    return {reinterpret_cast<const char*>(ABytes.data()), ABytes.size()};
}

ByteView AsBytes(std::string_view AChars) {
    return {reinterpret_cast<const std::uint8_t*>(AChars.data()), AChars.size()};
}

// UTF-8 and ANSI with ASCII syntax: the engine reads the bytes, and only the
// clauses it rewrites are decoded and encoded.
std::vector<ByteSplice> SpliceClausesOfBytes(ByteView ABody, std::size_t AMarkLength, SourceEncoding AEncoding,
                                             const TQuorvel& AFormatter) {
    const TWiden widen = [AEncoding](std::string_view APiece) { return DecodeSourceBody(AsBytes(APiece), AEncoding); };
    std::vector<ByteSplice> splices;
    for (const TClauseRewrite& r : AFormatter.F_ClauseRewrites(AsChars(ABody), widen)) {
        const ByteView replaced = ABody.subspan(r.Begin, r.End - r.Begin);
        if (!DecodingIsExact(AEncoding)) CheckLossless(replaced, AMarkLength + r.Begin, widen(AsChars(replaced)), AEncoding);
        splices.push_back({AMarkLength + r.Begin, AMarkLength + r.End, EncodeSourceText(r.Text, AEncoding)});
    }
    return splices;
}

// UTF-16: two bytes a code unit.
std::vector<ByteSplice> SpliceClausesOfUtf16(ByteView ABody, std::size_t AMarkLength, SourceEncoding AEncoding,
                                             const TQuorvel& AFormatter) {
    const std::u16string text = DecodeSourceBody(ABody, AEncoding);
    std::vector<ByteSplice> splices;
    for (const TClauseRewrite& r : AFormatter.F_ClauseRewrites(text)) {
        splices.push_back({AMarkLength + 2 * r.Begin, AMarkLength + 2 * r.End, EncodeSourceText(r.Text, AEncoding)});
    }
    if (!splices.empty()) CheckWholeCodeUnits(ABody, AEncoding);
    return splices;
}

// A double-byte ANSI code page: positions in the text do not map to bytes, so
// a change rewrites the whole body, which must then come back from its text.
std::vector<ByteSplice> SpliceWholeText(ByteView ABody, std::size_t AMarkLength, SourceEncoding AEncoding,
                                        const TQuorvel& AFormatter) {
    const std::u16string text = DecodeSourceBody(ABody, AEncoding);
    const std::u16string formatted = AFormatter.F_FormatSource(text);
    if (formatted == text) return {};
    CheckLossless(ABody, AMarkLength, text, AEncoding);
    return {{AMarkLength, AMarkLength + ABody.size(), EncodeSourceText(formatted, AEncoding)}};
}

}  // namespace

SourceRewrite RewriteSourceBytes(const Bytes& ABytes, const TQuorvel& AFormatter) {
    SourceRewrite rewrite;
    rewrite.Encoding = DetectSourceEncoding(ABytes);
    const auto [encoding, markLength] = rewrite.Encoding;
    CheckDecodable(ABytes, encoding, markLength);
    const ByteView body = ByteView(ABytes).subspan(markLength);
    if (IsUtf16(encoding)) {
        rewrite.Splices = SpliceClausesOfUtf16(body, markLength, encoding, AFormatter);
    } else if (encoding == SourceEncoding::Utf8 || platform::SystemAnsiKeepsAsciiBytes()) {
        rewrite.Splices = SpliceClausesOfBytes(body, markLength, encoding, AFormatter);
    } else {
        rewrite.Splices = SpliceWholeText(body, markLength, encoding, AFormatter);
    }
    return rewrite;
}

void ForEachRewrittenPiece(ByteView AOriginal, const SourceRewrite& ARewrite,
                           const std::function<void(ByteView APiece)>& AVisit) {
    std::size_t copied = 0;
    for (const ByteSplice& splice : ARewrite.Splices) {
        AVisit(AOriginal.subspan(copied, splice.Begin - copied));
        AVisit(splice.Replacement);
        copied = splice.End;
    }
    AVisit(AOriginal.subspan(copied));
}

Bytes RewrittenBytes(ByteView AOriginal, const SourceRewrite& ARewrite) {
    std::size_t size = AOriginal.size();
    for (const ByteSplice& splice : ARewrite.Splices) size += splice.Replacement.size() - (splice.End - splice.Begin);
    Bytes bytes;
    bytes.reserve(size);
    ForEachRewrittenPiece(AOriginal, ARewrite, [&](ByteView APiece) { bytes.insert(bytes.end(), APiece.begin(), APiece.end()); });
    return bytes;
}

}  // namespace quorvel::files
