#pragma once
// One INI file as its lines: read values from it, change the keys told to
// change and nothing else (every other section, key, comment, blank line and
// line break keeps its bytes), and read it strictly for options that must not
// be misread. Sections and keys match ignoring ASCII letter case, as the
// Windows profile functions do. The text is UTF-8; a byte order mark is allowed.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::files {

struct IniEntry {
    std::u16string Key;    // as written, without surrounding blanks
    std::u16string Value;  // without surrounding blanks; may be empty
    std::size_t Line = 0;  // 1-based
};

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view ABytes);
    // A missing file reads as empty. Throws FileError when the file exists but
    // cannot be read.
    static IniDocument Load(const std::filesystem::path& APath);

    // The value without surrounding blanks; nothing when the section or key is missing.
    std::optional<std::u16string> Read(std::u16string_view ASection, std::u16string_view AKey) const;
    // Replaces the key's line, or adds the key after the last line of its
    // section, or adds the section at the end of the file.
    void Write(std::u16string_view ASection, std::u16string_view AKey, std::u16string_view AValue);
    // Replaces the file as a whole (FileBytes), so a failed write leaves the old file.
    void Save(const std::filesystem::path& APath) const;
    std::string Content() const;

    // The entries of ASection in file order, read strictly: every line is a
    // section, a "key = value" pair, a comment (";" or "#" first) or blank, the
    // text is UTF-8, and a key appears once. Other sections are passed over (a
    // settings file may hold a program's own), but a file with sections and
    // none named ASection is refused: its options would be lost to a typing
    // error. Throws FileError naming AFile and the line.
    std::vector<IniEntry> StrictEntries(const std::filesystem::path& AFile, std::u16string_view ASection) const;

private:
    struct LineRange {
        std::size_t First = 0;  // the section line
        std::size_t End = 0;    // one past the section's last line
    };
    std::u16string LineText(std::size_t AIndex) const;
    std::optional<LineRange> FindSection(std::u16string_view ASection) const;
    std::optional<std::size_t> FindKey(const LineRange& ASection, std::u16string_view AKey) const;
    bool UsesCrLf() const;
    std::string NewLine(std::u16string_view AText) const;
    void InsertLine(std::size_t AAt, std::string ALine);

    std::vector<std::string> FLines;  // split at LF; a CR before the LF stays in the line
    bool FEndsWithBreak = false;
};

// "Cannot use options file "<APath>": line <ALine>: <AReason>"
[[noreturn]] void ThrowOptionsFileError(const std::filesystem::path& APath, std::size_t ALine,
                                        const std::string& AReason);

}  // namespace quorvel::files
