#include "OptionsFile.h"

#include "FileBytes.h"
#include "IniDocument.h"
#include "Utf8.h"

namespace quorvel::files {

OptionSet ReadOptionsFile(const std::filesystem::path& APath) {
    const Bytes bytes = ReadFileBytes(APath);
    const IniDocument document(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const OptionReading reading{.BaseFolder = APath.parent_path(), .FoldersMustExist = true};
    OptionSet options;
    for (const IniEntry& entry : document.StrictEntries(APath, u"Settings")) {
        const auto fail = [&](const std::string& AReason) {
            ThrowOptionsFileError(APath, entry.Line, "key " + Utf8FromText(entry.Key) + ": " + AReason);
        };
        const OptionRow* row = FindOption(entry.Key);
        if (!row) fail("not a known key; known are " + KnownOptionKeys());
        try {
            options.SetText(*row, entry.Value, reading);
        } catch (const OptionError& error) {
            fail(error.what());
        }
    }
    return options;
}

}  // namespace quorvel::files
