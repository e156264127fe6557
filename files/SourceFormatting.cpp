#include "SourceFormatting.h"

#include <algorithm>

namespace quorvel::files {
namespace {

bool IsUtf16(SourceEncoding AEncoding) {
    return AEncoding == SourceEncoding::Utf16LE || AEncoding == SourceEncoding::Utf16BE;
}

std::string LossReason(ByteView ABody, ByteView AEncodedAgain, const DetectedEncoding& AEncoding) {
    if (IsUtf16(AEncoding.Encoding) && ABody.size() % 2 != 0) return "its UTF-16 text ends in a lone byte";
    const auto [body, again] = std::mismatch(ABody.begin(), ABody.end(), AEncodedAgain.begin(), AEncodedAgain.end());
    const auto offset = AEncoding.MarkLength + static_cast<std::size_t>(body - ABody.begin());
    return "its " + std::string(EncodingName(AEncoding.Encoding)) +
           " bytes do not come back from its text (first difference at byte offset " + std::to_string(offset) + ")";
}

void CheckLossless(const Bytes& AOriginal, const FormattedSource& ASource) {
    const ByteView body = ByteView(AOriginal).subspan(ASource.Encoding.MarkLength);
    const Bytes encodedAgain = EncodeSourceText(ASource.Text, ASource.Encoding.Encoding);
    if (!std::ranges::equal(body, encodedAgain)) {
        throw ContentError("Cannot rewrite", LossReason(body, encodedAgain, ASource.Encoding), " without loss");
    }
}

}  // namespace

FormattedSource FormatSourceBytes(const Bytes& ABytes, const TQuorvel& AFormatter) {
    FormattedSource source;
    source.Encoding = DetectSourceEncoding(ABytes);
    source.Text = DecodeSourceText(ABytes, source.Encoding.Encoding, source.Encoding.MarkLength);
    source.Formatted = AFormatter.F_FormatSource(source.Text);
    return source;
}

Bytes RewrittenBytes(const Bytes& AOriginal, const FormattedSource& ASource) {
    CheckLossless(AOriginal, ASource);
    Bytes bytes = EncodingMark(ASource.Encoding.Encoding);
    const Bytes body = EncodeSourceText(ASource.Formatted, ASource.Encoding.Encoding);
    bytes.insert(bytes.end(), body.begin(), body.end());
    return bytes;
}

}  // namespace quorvel::files
