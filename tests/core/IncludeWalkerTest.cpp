// The include walker shared by the interface scanner and the name rule: where
// an include file's tokens come, which limits end a walk, and when what was
// read is complete. Small limits stand in for the real ones.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FormatTestSupport.h"
#include "IncludeWalker.h"

namespace quorvel::test {
namespace {

using detail::IncludeLimits;
using detail::IncludeWalker;
using detail::Token;
using detail::TokenKind;

// `d`, `d1`, `d11`, ... each name the next, `bomb` names itself twice, `half`
// is half the size limit, `throws` throws; other names are not found.
std::optional<std::u16string> ReadInclude(std::u16string_view AName) {
    if (AName == u"bomb") return u"{$I bomb}{$I bomb}";
    if (AName == u"half") return std::u16string(50, u' ');
    if (AName == u"throws") throw 1;
    if (AName.starts_with(u"d")) return u"{$I d" + std::u16string(AName.substr(1)) + u"1}";
    return std::nullopt;
}

struct LimitCase {
    const char* Name;
    std::u16string_view Text;
    std::size_t Read;  // include files read
    bool Complete;
};

void PrintTo(const LimitCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

class IncludeWalkerLimits : public ::testing::TestWithParam<LimitCase> {};

TEST_P(IncludeWalkerLimits, ReadsWithinTheLimits) {
    const LimitCase& c = GetParam();
    const TIncludeReader reader = ReadInclude;
    IncludeWalker walker(reader, IncludeLimits{.Depth = 3, .Count = 5, .Units = 100});
    walker.Walk(c.Text, 0, {});
    EXPECT_EQ(c.Read, walker.Texts().size());
    EXPECT_EQ(c.Complete, walker.Complete());
}

constexpr LimitCase kLimits[] = {
    {"DepthEndsAChainStillComplete", u"{$I d}", 3, true},
    {"CountEndsABombStillComplete", u"{$I bomb}", 5, true},
    {"SizeUpToTheLimitIsRead", u"{$I half}{$INCLUDE 'half'}", 2, true},
    {"SizeOverTheLimitIsIncomplete", u"{$I half}{$I half}{$I half}", 2, false},
    {"MissingFileIsIncompleteAndTheWalkGoesOn", u"{$I missing.inc} {$I half}", 1, false},
    {"ThrowingReaderIsIncomplete", u"{$I throws} {$I half}", 1, false},
    {"SwitchesAndMacrosNameNoFile", u"{$I+} {$I %DATE%} (* {$I half} *) '{$I half}'", 0, true},
};
INSTANTIATE_TEST_SUITE_P(Cases, IncludeWalkerLimits, ::testing::ValuesIn(kLimits),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// The identifiers a walk visits, in order, until (and with) AStopAt.
std::vector<std::string> VisitedNames(const TIncludeReader& AReader, std::u16string_view AText,
                                      std::u16string_view AStopAt = {}) {
    IncludeWalker walker(AReader);
    std::vector<std::string> names;
    walker.Walk(AText, 0, [&](std::u16string_view AIn, const Token& AToken) {
        if (AToken.Kind != TokenKind::Identifier) return true;
        const std::u16string_view name = AIn.substr(AToken.Begin, AToken.End - AToken.Begin);
        names.push_back(Show(name));
        return name != AStopAt;
    });
    return names;
}

TEST(IncludeWalkerTokens, IncludedTokensComeInPlaceAndAStopEndsEveryLevel) {
    const TIncludeReader reader = [](std::u16string_view AName) -> std::optional<std::u16string> {
        if (AName == u"outer.inc") return u"C {$I inner.inc} D";
        if (AName == u"inner.inc") return u"E";
        return std::nullopt;
    };
    const std::u16string_view text = u"A {$I outer.inc} B";
    EXPECT_EQ((std::vector<std::string>{"A", "C", "E", "D", "B"}), VisitedNames(reader, text));
    EXPECT_EQ((std::vector<std::string>{"A", "C", "E"}), VisitedNames(reader, text, u"E"));
}

TEST(IncludeWalkerTokens, WithoutAReaderOnlyAnIncludeMakesItIncomplete) {
    const TIncludeReader none;
    IncludeWalker plain(none);
    plain.Walk(u"unit U; {$R *.res}", 0, {});
    EXPECT_TRUE(plain.Complete());
    IncludeWalker including(none);
    including.Walk(u"unit U; {$I x.inc}", 0, {});
    EXPECT_FALSE(including.Complete());
}

}  // namespace
}  // namespace quorvel::test
