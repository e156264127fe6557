#pragma once
// The errors of the source files layer. Every message that reaches a user
// names the file it is about.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel::files {

class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "<AAction> "<APath>": <AReason>", e.g. Cannot read "src/Unit1.pas": the file does not exist
FileError MakeFileError(std::string_view AAction, const std::filesystem::path& APath, std::string_view AReason);

// A fault of a file's content found from its bytes or text alone (decoding,
// encoding, the lossless check), where the path is not known. The message
// reads "<action><qualifier>: <reason>"; callers that know the file name it
// with ForFile: "<action> "<path>"<qualifier>: <reason>".
class ContentError : public FileError {
public:
    ContentError(std::string AAction, std::string AReason, std::string AQualifier = {});
    FileError ForFile(const std::filesystem::path& APath) const;
    const std::string& Reason() const { return FReason; }

private:
    std::string FAction;
    std::string FReason;
    std::string FQualifier;
};

}  // namespace quorvel::files
