// The project options file: where it is found and how strictly it is read.

#include <gtest/gtest.h>

#include "FileBytes.h"
#include "FileError.h"
#include "OptionsFile.h"
#include "OptionsFileLookup.h"
#include "PathText.h"
#include "TestFolder.h"
#include "ToolRun.h"
#include "Utf8.h"

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

using Names = std::vector<std::u16string>;
using Folders = std::vector<fs::path>;

template <typename T>
std::optional<T> Value(const files::OptionSet& AOptions, std::u16string_view AKey) {
    const files::OptionValue* value = AOptions.Find(files::OptionByKey(AKey));
    if (!value) return std::nullopt;
    return std::get<T>(*value);
}

TEST(OptionsFileTest, ReadsTheWindowsKeysAsTheWindowWritesThem) {
    const TestFolder folder;
    folder.Write("proj/lib/rtl/x.pas", "");
    folder.Write("abs/x.pas", "");
    const auto file = folder.Write("proj/quorvel.ini",
        "\xEF\xBB\xBF; shared by the team\r\n[settings]\r\nverticallist = 0\r\nWordWrapAt=$40\r\nKeepFirstBuiltIn=0\r\n"
        "KeepFirst= FastMM4 , ,madExcept\r\nKeepNameResolution=1\r\nUnitsPath=lib/rtl; ;" +
        (folder / "abs").string() + "\r\nUnitScopes=System,Vcl\r\nAutoUpdate=1\r\nGroups=vcl, Vcl.*;Vcl\r\n"
        "GroupSeparator=None\r\nWriteUnitScopes=remove\r\nUnitCase=declared\r\n# end");
    const files::OptionSet settings = files::ReadOptionsFile(file);
    EXPECT_EQ(Value<bool>(settings, u"VerticalList"), false);
    EXPECT_EQ(Value<std::int32_t>(settings, u"WordWrapAt"), 64);
    EXPECT_EQ(Value<bool>(settings, u"KeepFirstBuiltIn"), false);
    EXPECT_EQ(Value<Names>(settings, u"KeepFirst"), (Names{u"FastMM4", u"madExcept"}));
    EXPECT_EQ(Value<bool>(settings, u"KeepNameResolution"), true);
    EXPECT_EQ(Value<Folders>(settings, u"UnitsPath"), (Folders{folder / "proj/lib/rtl", folder / "abs"}));
    EXPECT_EQ(Value<Names>(settings, u"UnitScopes"), (Names{u"System", u"Vcl"}));
    const TFormatOptions engine = settings.EngineOptions();
    EXPECT_EQ(engine.UnitGroups, (Names{u"vcl", u"Vcl.*;Vcl"}));
    EXPECT_FALSE(engine.GroupSeparator);
    EXPECT_EQ(engine.UnitScopeWriting, TUnitScopeWriting::Remove);
    EXPECT_TRUE(engine.DeclaredUnitCase);
}

TEST(OptionsFileTest, KeysNotInTheFileStayUnset) {
    const TestFolder folder;
    const files::OptionSet settings = files::ReadOptionsFile(folder.Write("quorvel.ini", "[Settings]\nKeepFirst=\n"));
    EXPECT_EQ(Value<Names>(settings, u"KeepFirst"), Names{});
    for (const files::OptionRow& row : files::OptionTable())
        EXPECT_EQ(settings.Find(row) != nullptr, row.Key == u"KeepFirst") << files::Utf8FromText(row.Key);
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
        files::ReadOptionsFile(file);
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
              "KeepNameResolution, KeepInitOrder, UnitsPath, UnitScopes, DefaultUnitsPath, FileKinds, Groups, "
              "GroupSeparator, WriteUnitScopes, UnitCase, ReportUnused, RemoveUnused, MoveToImplementation, AutoUpdate"},
    ErrorCase{"NotANumber", "[Settings]\n\nWordWrapAt = wide\n",
              "line 3: key WordWrapAt: \"wide\" is not a whole number"},
    ErrorCase{"EmptyFlag", "[Settings]\r\nVerticalList=\r\n", "line 2: key VerticalList: \"\" is not a whole number"},
    ErrorCase{"WidthBelowOne", "[Settings]\nWordWrapAt=0\n",
              "line 2: key WordWrapAt: the width must be at least 1, not 0"},
    ErrorCase{"MissingUnitsFolder", "[Settings]\nUnitsPath=lib\n",
              "line 2: key UnitsPath: \"lib\" is not an existing folder (looked for \"{dir}/lib\")"},
    ErrorCase{"KeyTwice", "[Settings]\nVerticalList=1\nverticallist=0\n",
              "line 3: key verticallist is given a second time (first on line 2)"},
    ErrorCase{"OnlyAnotherSection", "; options\n[Setings]\nVerticalList=1\n",
              "line 2: section [Setings] is not known; the options go in [Settings]"},
    ErrorCase{"KeyBeforeAnySection", "VerticalList=1\n", "line 1: key VerticalList is outside any [section]"},
    ErrorCase{"NotAPair", "[Settings]\nVerticalList\n", "line 2: not a [section], a key = value pair or a comment"},
    ErrorCase{"UnclosedSection", "[Settings\n", "line 1: a section line must end with \"]\""},
    ErrorCase{"NotUtf8", "[Settings]\nKeepFirst=M\xE4in\n", "line 2: the text is not UTF-8"}),
    files::test::CaseName);

#ifndef _WIN32  // the manual page is the Linux package's
// The manual page names every flag and key of the option table.
TEST(OptionsFileTest, TheManualPageNamesEveryOption) {
    const files::Bytes page = files::ReadFileBytes(QUORVEL_SOURCE_DIR "/resources/linux/quorvel-cli.1.in");
    const std::string text(page.begin(), page.end());
    const auto troff = [](std::string_view AName) {
        std::string escaped;
        for (char c : AName) escaped += c == '-' ? std::string("\\-") : std::string(1, c);
        return escaped;
    };
    for (const files::OptionRow& row : files::OptionTable()) {
        const std::string key = files::Utf8FromText(row.Key);
        EXPECT_TRUE(text.find("\n.B " + key + "\n") != std::string::npos ||
                    text.find("\n.BR " + key + " ") != std::string::npos) << key;
        if (!row.Flag.empty()) {
            EXPECT_NE(text.find(troff(row.Flag)), std::string::npos) << row.Flag;
        }
    }
}
#endif

}  // namespace
}  // namespace quorvel::cli
