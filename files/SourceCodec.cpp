#include "SourceCodec.h"

namespace quorvel::files {

// Placeholders until the codec lands.
Bytes ReadFileBytes(const std::filesystem::path& APath) { throw FileError("not implemented: " + APath.string()); }
std::u16string DecodePreviewText(const Bytes&) { throw FileError("not implemented"); }
DetectedEncoding DetectSourceEncoding(const Bytes&) { return {}; }
std::u16string DecodeSourceText(const Bytes&, SourceEncoding, std::size_t) { throw FileError("not implemented"); }
void WriteTextFile(const std::filesystem::path& APath, const std::u16string&, SourceEncoding) {
    throw FileError("not implemented: " + APath.string());
}

}  // namespace quorvel::files
