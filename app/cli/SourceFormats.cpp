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

    const files::OptionSet options =
        file ? files::OptionSet::Overlay(FOptions.Format, files::ReadOptionsFile(*file)) : FOptions.Format;
    TFormatOptions engineOptions = options.EngineOptions();
    if (FOptions.PlainOrder) engineOptions.WithPlainOrder();
    FFormats.push_back({std::move(engineOptions), options.UnitsPath()});
    FByOptionsFile.emplace(key, FFormats.size() - 1);
    return FFormats.size() - 1;
}

}  // namespace quorvel::cli
