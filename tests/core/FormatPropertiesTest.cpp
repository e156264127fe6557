// Properties that must hold for every text: stable formatting, nothing lost
// or moved out of a clause, texts without a clause untouched. Checked over
// generated sources and over character soup, under every layout option.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string_view>

#include "FormatInvariants.h"
#include "FormatTestSupport.h"
#include "PascalTextGenerator.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

struct OptionSet {
    const char* Name;
    bool VerticalList;
    std::int32_t WordWrapAt;
    bool PreserveComments;
    std::u16string_view Groups = {};  // separated by ","
};

void PrintTo(const OptionSet& AOptions, std::ostream* AOut) { *AOut << AOptions.Name; }

class FormatPropertiesTest : public ::testing::TestWithParam<OptionSet> {
protected:
    TQuorvel FFormatter;

    void SetUp() override {
        FFormatter.SetVerticalList(GetParam().VerticalList);
        FFormatter.SetWordWrapAt(GetParam().WordWrapAt);
        FFormatter.SetPreserveComments(GetParam().PreserveComments);
        TFormatOptions options = FFormatter.Options();
        for (std::u16string_view rest = GetParam().Groups; !rest.empty();) {
            const std::size_t comma = rest.find(u',');
            options.UnitGroups.emplace_back(rest.substr(0, comma));
            rest = comma == std::u16string_view::npos ? std::u16string_view() : rest.substr(comma + 1);
        }
        FFormatter.SetOptions(std::move(options));
    }
};

TEST_P(FormatPropertiesTest, GeneratedSourcesKeepEverything) {
    constexpr int kTexts = 3000;
    PascalTextGenerator generator(20240611);
    int rewritten = 0;
    for (int i = 0; i < kTexts; ++i) {
        const std::u16string text = generator.Next();
        ASSERT_EQ("", CheckFormatting(FFormatter, text)) << "input: " << Show(text);
        if (FFormatter.F_FormatSource(text) != text) ++rewritten;
    }
    // Guards the generator: most texts must hold a clause that is rewritten.
    EXPECT_GT(rewritten, kTexts / 3);
}

// Soup of the characters that matter to the scans, with `uses` and the
// section words mixed in, so that every lexical corner meets every other.
TEST_P(FormatPropertiesTest, CharacterSoupKeepsEverything) {
    constexpr std::u16string_view kPieces[] = {
        u"uses", u"USES", u"interface", u"implementation", u" ", u"\r", u"\n", u"\r\n", u"\t", u"{", u"}",
        u"(", u"*", u")", u"/", u"'", u";", u",", u".", u"$", u"in", u"A", u"b", u"\u00C9", u"1", u"\0"};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 20000; ++i) {
        std::u16string text;
        for (int n = length(random); n > 0; --n) text += kPieces[piece(random)];
        ASSERT_EQ("", CheckFormatting(FFormatter, text)) << "input: " << Show(text);
    }
}

constexpr OptionSet kOptionSets[] = {
    {"Vertical", true, 80, true},
    {"Wrapped80", false, 80, true},
    {"Wrapped17", false, 17, true},
    {"WrappedZero", false, 0, true},
    {"VerticalWithoutComments", true, 80, false},
    {"WrappedWithoutComments", false, 30, false},
    // Groups only add blank lines or line breaks between the units they place.
    {"VerticalGroupsAndBlocks", true, 80, true, u"keep-blocks,A*;b*,other,System.*"},
    {"WrappedGroups", false, 17, true, u"*.*,A*"},
};
INSTANTIATE_TEST_SUITE_P(Options, FormatPropertiesTest, ::testing::ValuesIn(kOptionSets),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

}  // namespace
}  // namespace quorvel::test
