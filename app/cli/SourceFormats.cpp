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
    FFileKinds.push_back(options.FileKinds());
    FFormats.push_back({std::move(engineOptions), options.UnitsPath(), options.DefaultUnitsPath(),
                        options.Find(files::OptionByKey(u"UnitScopes")) != nullptr});
    FByOptionsFile.emplace(key, FFormats.size() - 1);
    return FFormats.size() - 1;
}

std::optional<std::vector<std::string>> SourceFormats::FileKindsFor(const fs::path& AFolder) {
    const std::optional<std::vector<std::u16string>>& kinds = FFileKinds[FormatFor(AFolder)];
    if (!kinds) return std::nullopt;
    std::vector<std::string> extensions;
    for (const std::u16string& kind : *kinds) {
        std::string extension = kind.starts_with(u".") ? "" : ".";
        for (char16_t c : kind) extension += c < 0x80 ? static_cast<char>(c) : '?';
        extensions.push_back(std::move(extension));
    }
    return extensions;
}

}  // namespace quorvel::cli
