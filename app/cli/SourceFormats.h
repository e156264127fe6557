#pragma once
// The options each source of a run is formatted with: the command line's laid
// over those of the source's options file (see OptionsFileLookup), or of the
// one file --config names, or none with --no-config.

#include <filesystem>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "BatchRun.h"
#include "CliOptions.h"
#include "OptionsFileLookup.h"

namespace quorvel::cli {

class SourceFormats {
public:
    explicit SourceFormats(const CliOptions& AOptions) : FOptions(AOptions) {}

    // The index in Formats() of the format for a source in AFolder; sources
    // under one options file share it. Throws files::FileError when that
    // options file cannot be used.
    std::size_t FormatFor(const std::filesystem::path& AFolder);

    const std::vector<files::FormatSetup>& Formats() const { return FFormats; }

    // The extensions a folder's listing takes (".pas", ...), when the command
    // line or the folder's options file sets FileKinds; nothing for the
    // default kinds. Throws files::FileError as FormatFor does.
    std::optional<std::vector<std::string>> FileKindsFor(const std::filesystem::path& AFolder);

private:
    std::optional<std::filesystem::path> OptionsFileFor(const std::filesystem::path& AFolder);

    const CliOptions& FOptions;
    OptionsFileLookup FLookup;
    std::unordered_map<std::filesystem::path::string_type, std::size_t> FByOptionsFile;  // "" for none
    std::vector<files::FormatSetup> FFormats;
    std::vector<std::optional<std::vector<std::u16string>>> FFileKinds;  // by format
};

}  // namespace quorvel::cli
