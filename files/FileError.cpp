#include "FileError.h"

#include "PathText.h"

namespace quorvel::files {

FileError MakeFileError(std::string_view AAction, const std::filesystem::path& APath, std::string_view AReason) {
    std::string message(AAction);
    message += " \"" + PathMessageText(APath) + "\": ";
    message += AReason;
    return FileError(message);
}

ContentError::ContentError(std::string AAction, std::string AReason, std::string AQualifier)
    : FileError(AAction + AQualifier + ": " + AReason),
      FAction(std::move(AAction)),
      FReason(std::move(AReason)),
      FQualifier(std::move(AQualifier)) {}

FileError ContentError::ForFile(const std::filesystem::path& APath) const {
    return FileError(FAction + " \"" + PathMessageText(APath) + "\"" + FQualifier + ": " + FReason);
}

}  // namespace quorvel::files
