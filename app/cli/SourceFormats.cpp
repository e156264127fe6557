#include "SourceFormats.h"

#include "OptionsFile.h"

namespace quorvel::cli {
namespace fs = std::filesystem;

std::optional<fs::path> SourceFormats::OptionsFileFor(const fs::path& AFolder) {
    if (FOptions.NoConfig) return std::nullopt;
    if (FOptions.ConfigFile) return FOptions.ConfigFile;
    return FLookup.FileFor(AFolder);
}

std::size_t SourceFormats::FormatFor(const fs::path& AFolder) {
    const std::optional<fs::path> file = OptionsFileFor(AFolder);
    const fs::path::string_type key = file ? file->native() : fs::path::string_type();
    if (const auto known = FByOptionsFile.find(key); known != FByOptionsFile.end()) return known->second;

    const FormatSettings settings =
        file ? FormatSettings::Overlay(FOptions.Format, ReadOptionsFile(*file)) : FOptions.Format;
    FFormats.push_back({settings.Formatter(FOptions.PlainOrder), settings.UnitsFolders()});
    FByOptionsFile.emplace(key, FFormats.size() - 1);
    return FFormats.size() - 1;
}

}  // namespace quorvel::cli
