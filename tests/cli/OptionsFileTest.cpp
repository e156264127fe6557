// The project options file: where it is found and how strictly it is read.

#include <gtest/gtest.h>

#include "FileError.h"
#include "OptionsFile.h"
#include "OptionsFileLookup.h"
#include "PathText.h"
#include "TestFolder.h"
#include "ToolRun.h"

namespace quorvel::cli {
namespace {

namespace fs = std::filesystem;
using files::test::PrintTo;
using files::test::TestFolder;

// ---- Lookup ------------------------------------------------------------------

struct LookupCase {
    const char* Name;
    const char* Folder;  // where the source lies, below the fixture's root
    const char* Found;   // the options file, below the root; "" for none
};

// A checkout "repo" (its ".git" a folder) holding a nested checkout "repo/sub"
// (a submodule: ".git" is a file), inside a folder that is itself a work
// tree's root, so the search never leaves the fixture.
class LookupTest : public ::testing::TestWithParam<LookupCase> {
protected:
    void SetUp() override {
        for (const char* file : {".git", "quorvel.ini", "repo/.git/HEAD", "repo/quorvel.ini",
                                 "repo/src/deep/quorvel.ini", "repo/sub/.git", "repo/sub/lib/x.pas", "plain/a/x.pas"})
            FRoot.Write(file, "");
    }
    TestFolder FRoot;
};

TEST_P(LookupTest, FindsTheNearestFileWithinTheWorkTree) {
    OptionsFileLookup lookup;
    const auto found = lookup.FileFor(FRoot / GetParam().Folder);
    const std::string expected = GetParam().Found;
    EXPECT_EQ(found ? found->lexically_relative(FRoot.Path()).generic_string() : "", expected);
    // Asked again, the remembered answer is the same.
    EXPECT_EQ(lookup.FileFor(FRoot / GetParam().Folder), found);
}

INSTANTIATE_TEST_SUITE_P(Folders, LookupTest, ::testing::Values(
    LookupCase{"InTheFolderItself", "repo/src/deep", "repo/src/deep/quorvel.ini"},
    LookupCase{"NearestAbove", "repo/src/other", "repo/quorvel.ini"},
    LookupCase{"AtTheWorkTreeRoot", "repo", "repo/quorvel.ini"},
    LookupCase{"NotAboveANestedWorkTree", "repo/sub/lib", ""},
    LookupCase{"OutsideAnyCheckout", "plain/a", "quorvel.ini"},
    LookupCase{"TrailingSeparator", "repo/src/deep/", "repo/src/deep/quorvel.ini"}),
    files::test::CaseName);

// ---- Reading -----------------------------------------------------------------

TEST(OptionsFileTest, ReadsTheWindowsKeysAsTheWindowWritesThem) {
    const TestFolder folder;
    folder.Write("proj/lib/rtl/x.pas", "");
    folder.Write("abs/x.pas", "");
    const auto file = folder.Write("proj/quorvel.ini",
        "\xEF\xBB\xBF; shared by the team\r\n[settings]\r\nverticallist = 0\r\nWordWrapAt=$40\r\nKeepFirstBuiltIn=0\r\n"
        "KeepFirst= FastMM4 , ,madExcept\r\nKeepNameResolution=1\r\nUnitsPath=lib/rtl; ;" +
        (folder / "abs").string() + "\r\nUnitScopes=System,Vcl\r\nAutoUpdate=1\r\n# end");
    const FormatSettings settings = ReadOptionsFile(file);
    EXPECT_EQ(settings.Wrapped, true);
    EXPECT_EQ(settings.WrapAt, 64);
    EXPECT_EQ(settings.KeepFirstBuiltIn, false);
    EXPECT_EQ(settings.KeepFirst, (std::vector<std::u16string>{u"FastMM4", u"madExcept"}));
    EXPECT_EQ(settings.KeepNameResolution, true);
    EXPECT_EQ(settings.UnitsPath, (std::vector<fs::path>{folder / "proj/lib/rtl", folder / "abs"}));
    EXPECT_EQ(settings.UnitScopes, (std::vector<std::u16string>{u"System", u"Vcl"}));
}

TEST(OptionsFileTest, KeysNotInTheFileStayUnset) {
    const TestFolder folder;
    const FormatSettings settings = ReadOptionsFile(folder.Write("quorvel.ini", "[Settings]\nKeepFirst=\n"));
    EXPECT_EQ(settings.KeepFirst, std::vector<std::u16string>{});
    EXPECT_FALSE(settings.Wrapped || settings.WrapAt || settings.KeepFirstBuiltIn || settings.KeepNameResolution ||
                 settings.UnitsPath || settings.UnitScopes);
}

struct ErrorCase {
    const char* Name;
    const char* Content;
    const char* Reason;  // what follows the file's name in the message
};

class OptionsFileErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(OptionsFileErrorTest, NamesFileLineAndKey) {
    const TestFolder folder;
    const auto file = folder.Write("quorvel.ini", GetParam().Content);
    try {
        ReadOptionsFile(file);
        FAIL() << "no error";
    } catch (const files::FileError& error) {
        std::string reason = files::test::NativeSeparators(GetParam().Reason);
        if (const auto at = reason.find("{dir}"); at != std::string::npos)
            reason.replace(at, 5, files::PathMessageText(folder.Path()));
        EXPECT_EQ(error.what(), "Cannot use options file \"" + files::PathMessageText(file) + "\": " + reason);
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, OptionsFileErrorTest, ::testing::Values(
    ErrorCase{"UnknownKey", "[Settings]\nWrapAt=60\n",
              "line 2: key WrapAt: not a known key; known are VerticalList, WordWrapAt, KeepFirstBuiltIn, KeepFirst, "
              "KeepNameResolution, UnitsPath, UnitScopes, AutoUpdate"},
    ErrorCase{"NotANumber", "[Settings]\n\nWordWrapAt = wide\n",
              "line 3: key WordWrapAt: \"wide\" is not a whole number"},
    ErrorCase{"EmptyFlag", "[Settings]\r\nVerticalList=\r\n", "line 2: key VerticalList: \"\" is not a whole number"},
    ErrorCase{"WidthBelowOne", "[Settings]\nWordWrapAt=0\n",
              "line 2: key WordWrapAt: the width must be at least 1, not 0"},
    ErrorCase{"MissingUnitsFolder", "[Settings]\nUnitsPath=lib\n",
              "line 2: key UnitsPath: \"lib\" is not an existing folder (looked for \"{dir}/lib\")"},
    ErrorCase{"KeyTwice", "[Settings]\nVerticalList=1\nverticallist=0\n",
              "line 3: key verticallist is given a second time (first on line 2)"},
    ErrorCase{"OtherSection", "[Settings]\nVerticalList=1\n[Colours]\n",
              "line 3: section [Colours] is not known; the options go in [Settings]"},
    ErrorCase{"KeyBeforeAnySection", "VerticalList=1\n", "line 1: key VerticalList is outside any [section]"},
    ErrorCase{"NotAPair", "[Settings]\nVerticalList\n", "line 2: not a [section], a key = value pair or a comment"},
    ErrorCase{"UnclosedSection", "[Settings\n", "line 1: a section line must end with \"]\""},
    ErrorCase{"NotUtf8", "[Settings]\nKeepFirst=M\xE4in\n", "line 2: the text is not UTF-8"}),
    files::test::CaseName);

}  // namespace
}  // namespace quorvel::cli
