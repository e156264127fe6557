// The option table: each key's rule for its values, its default, and how
// places that set options are laid over each other.

#include <gtest/gtest.h>

#include <algorithm>
#include <variant>

#include "OptionTable.h"
#include "TestFolder.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::u16string>;
using Folders = std::vector<fs::path>;

struct ValueCase {
    const char* Name;
    std::u16string_view Key;
    std::u16string_view Text;
    std::optional<OptionValue> Expected;  // nothing: the default applies
    const char* Error = nullptr;          // the reason, when the text is refused
};

class OptionValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(OptionValueTest, ReadsByTheKeysRule) {
    const ValueCase& c = GetParam();
    const test::TestFolder folder;
    folder.Write("lib/x.pas", "");
    const OptionReading reading{.BaseFolder = folder.Path(), .FoldersMustExist = true};
    try {
        const std::optional<OptionValue> value = ParseOptionValue(OptionByKey(c.Key), c.Text, reading);
        ASSERT_EQ(c.Error, nullptr) << "no error";
        std::optional<OptionValue> expected = c.Expected;
        if (expected && std::holds_alternative<Folders>(*expected))
            for (fs::path& path : std::get<Folders>(*expected)) path = folder.Path() / path;
        EXPECT_EQ(value, expected);
    } catch (const OptionError& error) {
        ASSERT_NE(c.Error, nullptr) << error.what();
        EXPECT_EQ(std::string(error.what()).substr(0, std::string(c.Error).size()), c.Error);
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, OptionValueTest, ::testing::Values(
    ValueCase{"FlagOff", u"VerticalList", u"0", OptionValue(false)},
    ValueCase{"FlagAnyOtherNumberOn", u"KeepNameResolution", u"-2", OptionValue(true)},
    ValueCase{"FlagHexadecimal", u"KeepFirstBuiltIn", u"$0", OptionValue(false)},
    ValueCase{"InitOrderFlag", u"KeepInitOrder", u"1", OptionValue(true)},
    ValueCase{"FlagWord", u"VerticalList", u"yes", std::nullopt, "\"yes\" is not a whole number"},
    ValueCase{"FlagEmpty", u"AutoUpdate", u"", std::nullopt, "\"\" is not a whole number"},
    ValueCase{"Width", u"WordWrapAt", u"120", OptionValue(std::int32_t{120})},
    // The window writes its box as it stands, an empty one too: that is its default.
    ValueCase{"WidthEmptyIsTheDefault", u"WordWrapAt", u"", std::nullopt},
    ValueCase{"WidthZero", u"WordWrapAt", u"0", std::nullopt, "the width must be at least 1, not 0"},
    ValueCase{"WidthTrailingBlank", u"WordWrapAt", u"80 ", std::nullopt, "\"80 \" is not a whole number"},
    ValueCase{"Names", u"KeepFirst", u" FastMM4 , ,madExcept", OptionValue(Names{u"FastMM4", u"madExcept"})},
    ValueCase{"NamesEmpty", u"UnitScopes", u"", OptionValue(Names{})},
    ValueCase{"Folders", u"UnitsPath", u"lib; ;lib/", OptionValue(Folders{"lib", "lib/"})},
    ValueCase{"FolderMissing", u"UnitsPath", u"lib;gone", std::nullopt, "\"gone\" is not an existing folder"},
    ValueCase{"Groups", u"Groups", u"vcl, System.*;Vcl ,other,", OptionValue(Names{u"vcl", u"System.*;Vcl", u"other"})},
    ValueCase{"GroupNotAPattern", u"Groups", u"System.*,Sys-tem", std::nullopt,
              "\"Sys-tem\" is not a unit name pattern"},
    ValueCase{"GroupWordAmongPatterns", u"Groups", u"Vcl.*;project", std::nullopt,
              "\"project\" stands for a group of its own"},
    ValueCase{"ChoiceAnyCase", u"UnitCase", u"Declared", OptionValue(std::int32_t{1})},
    ValueCase{"ChoiceScopes", u"WriteUnitScopes", u"remove", OptionValue(std::int32_t{2})},
    ValueCase{"ChoiceUnknown", u"GroupSeparator", u"line", std::nullopt,
              "\"line\" is not one of blank-line, none"}),
    test::CaseName);

// A settings file with every key at its default formats as the engine does
// by default: the table and the engine agree.
TEST(OptionTableTest, DefaultsAreTheEnginesDefaults) {
    OptionSet options;
    for (const OptionRow& row : OptionTable()) {
        SCOPED_TRACE(Utf8FromText(row.Key));
        if (row.Key == u"UnitScopes") continue;  // empty means "none"; its default is the built-in list
        options.SetText(row, row.Default, {.BaseFolder = {}, .FoldersMustExist = true});
    }
    EXPECT_EQ(options.EngineOptions(), TFormatOptions{});
    EXPECT_EQ(options.UnitsPath(), Folders{});
}

TEST(OptionTableTest, EachFlagAndKeyOnce) {
    std::vector<std::string> seen;
    for (const OptionRow& row : OptionTable()) {
        for (std::string name : {Utf8FromText(row.Key), std::string(row.Flag)}) {
            if (name.empty()) continue;
            EXPECT_EQ(std::count(seen.begin(), seen.end(), name), 0) << name;
            seen.push_back(name);
        }
        EXPECT_EQ(FindOption(row.Key), &row);
        EXPECT_TRUE(row.Flag.empty() || !row.Help.empty()) << row.Flag;
        EXPECT_TRUE(row.Implies.empty() || FindOption(row.Implies) != nullptr) << row.Flag;
    }
    EXPECT_EQ(FindOption(u"wordwrapat"), &OptionByKey(u"WordWrapAt"));
    EXPECT_EQ(FindOption(u"WrapAt"), nullptr);
}

TEST(OptionTableTest, TheTopSetWinsOptionByOptionAndListsAreReplaced) {
    const OptionRow& keepFirst = OptionByKey(u"KeepFirst");
    const OptionRow& vertical = OptionByKey(u"VerticalList");
    const OptionRow& width = OptionByKey(u"WordWrapAt");
    OptionSet file;
    file.Set(keepFirst, Names{u"A", u"B"});
    file.Set(vertical, false);
    file.Set(width, std::int32_t{40});
    OptionSet commandLine;
    commandLine.Append(keepFirst, Names{u"C"});
    commandLine.Append(keepFirst, Names{u"D"});  // a repeated flag adds to its own list
    commandLine.Set(width, std::int32_t{60});

    const TFormatOptions options = OptionSet::Overlay(commandLine, file).EngineOptions();
    EXPECT_EQ(options.KeepFirstUnits, (Names{u"C", u"D"}));
    EXPECT_EQ(options.WordWrapAt, 60);
    EXPECT_FALSE(options.VerticalList);
}

}  // namespace
}  // namespace quorvel::files
