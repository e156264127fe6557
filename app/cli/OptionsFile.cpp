#include "OptionsFile.h"

#include <algorithm>
#include <array>
#include <functional>
#include <system_error>

#include "IniText.h"
#include "IntegerText.h"
#include "PathText.h"
#include "Utf8.h"

namespace quorvel::cli {
namespace fs = std::filesystem;
namespace {

std::u16string_view Trimmed(std::u16string_view AText) {
    const auto first = AText.find_first_not_of(u" \t");
    if (first == std::u16string_view::npos) return {};
    return AText.substr(first, AText.find_last_not_of(u" \t") - first + 1);
}

struct KeyReader {
    const fs::path& File;
    const IniEntry& Entry;

    [[noreturn]] void Fail(const std::string& AReason) const {
        ThrowIniError(File, Entry.Line, "key " + files::Utf8FromText(Entry.Key) + ": " + AReason);
    }

    std::int32_t Integer() const {
        const auto value = ParseIntegerText(Entry.Value);
        if (!value) Fail("\"" + files::Utf8FromText(Entry.Value) + "\" is not a whole number");
        return *value;
    }

    // As the window reads it: 0 is false, any other whole number true.
    bool Flag() const { return Integer() != 0; }

    std::int32_t Width() const {
        const std::int32_t width = Integer();
        if (width < 1) Fail("the width must be at least 1, not " + std::to_string(width));
        return width;
    }

    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> names;
        AppendNames(Entry.Value, names);
        return names;
    }

    // Folders separated by ";"; a relative one is taken from the options file's folder.
    std::vector<fs::path> Folders() const {
        std::vector<fs::path> folders;
        std::u16string_view list = Entry.Value;
        while (!list.empty()) {
            const std::size_t semicolon = list.find(u';');
            const std::u16string_view piece = Trimmed(list.substr(0, semicolon));
            if (!piece.empty()) folders.push_back(Folder(piece));
            if (semicolon == std::u16string_view::npos) break;
            list.remove_prefix(semicolon + 1);
        }
        return folders;
    }

    fs::path Folder(std::u16string_view AText) const {
        const fs::path folder = File.parent_path() / fs::path(AText);
        std::error_code error;
        if (!fs::is_directory(folder, error))
            Fail("\"" + files::Utf8FromText(AText) + "\" is not an existing folder (looked for \"" +
                 files::PathMessageText(folder) + "\")");
        return folder;
    }
};

using KeyAction = std::function<void(const KeyReader&, FormatSettings&)>;

struct Key {
    std::u16string_view Name;
    KeyAction Read;
};

// The keys of the window's settings file. AutoUpdate (the window's update
// check) is read and checked but changes nothing here, so the window's own
// settings file also serves as an options file.
const std::array<Key, 8> kKeys{{
    {u"VerticalList", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.Wrapped = !AKey.Flag(); }},
    {u"WordWrapAt", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.WrapAt = AKey.Width(); }},
    {u"KeepFirstBuiltIn", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.KeepFirstBuiltIn = AKey.Flag(); }},
    {u"KeepFirst", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.KeepFirst = AKey.Names(); }},
    {u"KeepNameResolution",
     [](const KeyReader& AKey, FormatSettings& AOut) { AOut.KeepNameResolution = AKey.Flag(); }},
    {u"UnitsPath", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.UnitsPath = AKey.Folders(); }},
    {u"UnitScopes", [](const KeyReader& AKey, FormatSettings& AOut) { AOut.UnitScopes = AKey.Names(); }},
    {u"AutoUpdate", [](const KeyReader& AKey, FormatSettings&) { AKey.Flag(); }},
}};

std::string KnownKeys() {
    std::string list;
    for (const Key& key : kKeys) list += (list.empty() ? "" : ", ") + files::Utf8FromText(key.Name);
    return list;
}

}  // namespace

FormatSettings ReadOptionsFile(const fs::path& APath) {
    FormatSettings settings;
    for (const IniEntry& entry : ReadIniFile(APath, u"Settings")) {
        const KeyReader reader{APath, entry};
        const auto key = std::find_if(kKeys.begin(), kKeys.end(),
                                      [&](const Key& AKey) { return SameIniName(AKey.Name, entry.Key); });
        if (key == kKeys.end()) reader.Fail("not a known key; known are " + KnownKeys());
        key->Read(reader, settings);
    }
    return settings;
}

}  // namespace quorvel::cli
