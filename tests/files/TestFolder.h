#pragma once
// A fresh folder per test under the system's temporary folder, and small
// helpers for the bytes of files in it.

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Bytes.h"

namespace quorvel::files::test {

// A path from UTF-8 text on every system (a plain string is read in the
// ANSI code page on Windows).
std::filesystem::path Utf8Path(std::string_view AText);

// A unit's source whose interface section is AInterface.
std::string UnitText(std::string_view AName, std::string_view AInterface);

class TestFolder {
public:
    TestFolder();
    ~TestFolder();  // removes everything, read-only entries included
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }
    std::filesystem::path operator/(std::string_view AName) const { return FPath / Utf8Path(AName); }

    // Writes AName (UTF-8) (subfolders made as needed) and returns its path.
    std::filesystem::path Write(std::string_view AName, const Bytes& ABytes) const;
    std::filesystem::path Write(std::string_view AName, std::string_view AText) const;

    // Every entry below the folder, relative, "/"-separated, UTF-8, sorted: shows stray temporary files.
    std::vector<std::string> Entries() const;

private:
    std::filesystem::path FPath;
};

// Table cases show in test lists and failures as their names; bring this in
// with `using test::PrintTo;` beside the case type.
template <class Case>
    requires requires(const Case& ACase) { ACase.Name; }
void PrintTo(const Case& ACase, std::ostream* AOut) {
    *AOut << ACase.Name;
}

// The case's name as a test name.
inline auto CaseName = [](const auto& AInfo) { return std::string(AInfo.param.Name); };

Bytes ReadBytes(const std::filesystem::path& APath);
Bytes AsBytes(std::string_view AText);
Bytes Concat(Bytes AFirst, const Bytes& ASecond);

}  // namespace quorvel::files::test
