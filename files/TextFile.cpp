#include "TextFile.h"

#include <system_error>

#include "FileBytes.h"
#include "FileError.h"
#include "SourceCodec.h"
#include "platform/Platform.h"

namespace quorvel::files {

std::u16string ReadTextFile(const std::filesystem::path& APath) {
    const Bytes bytes = ReadFileBytes(APath);
    const DetectedEncoding found = DetectSourceEncoding(bytes);
    try {
        return DecodeSourceText(bytes, found.Encoding, found.MarkLength);
    } catch (const ContentError&) {
        return DecodeSourceText(bytes, SourceEncoding::Ansi, 0);
    }
}

std::optional<std::u16string> TryReadTextFile(const std::filesystem::path& APath) {
    try {
        return ReadTextFile(APath);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

bool IsExistingFolder(const std::filesystem::path& APath) {
    std::error_code error;
    return !APath.empty() && std::filesystem::is_directory(platform::SystemPath(APath), error);
}

bool IsExistingFile(const std::filesystem::path& APath) {
    std::error_code error;
    return !APath.empty() && std::filesystem::is_regular_file(platform::SystemPath(APath), error);
}

}  // namespace quorvel::files
