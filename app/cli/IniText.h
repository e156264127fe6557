#pragma once
// A strict reader of INI files for options that must not be misread: every
// line is a section, a "key = value" pair, a comment (";" or "#" first) or
// blank; the file has one known section and a key appears once in it.
// Anything else is an error, never a line passed over.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::cli {

struct IniEntry {
    std::u16string Key;      // as written, without surrounding blanks
    std::u16string Value;    // without surrounding blanks; may be empty
    std::size_t Line = 0;    // 1-based
};

// The entries of the UTF-8 file APath (a leading byte order mark is allowed)
// in file order. Every key must be in a section named ASection (the name may
// appear more than once); a key or a section name matches ignoring ASCII
// letter case. Throws files::FileError naming the file and, for a bad line,
// its number.
std::vector<IniEntry> ReadIniFile(const std::filesystem::path& APath, std::u16string_view ASection);

bool SameIniName(std::u16string_view A, std::u16string_view B);  // ignoring ASCII letter case

// "Cannot use options file "<APath>": line <ALine>: <AReason>"
[[noreturn]] void ThrowIniError(const std::filesystem::path& APath, std::size_t ALine, const std::string& AReason);

}  // namespace quorvel::cli
