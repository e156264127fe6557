#include <gtest/gtest.h>

#include <string>

#include "VersionCompare.h"

namespace {

struct TCompareCase {
    const char* Name;
    std::u16string_view Version1;
    std::u16string_view Version2;
    int Expected;
};

std::string Narrow(std::u16string_view AText) { return {AText.begin(), AText.end()}; }

class CompareVersionsTest : public testing::TestWithParam<TCompareCase> {};

// Every case also holds the other way round with the opposite result.
TEST_P(CompareVersionsTest, OrdersBothWays) {
    const TCompareCase& c = GetParam();
    SCOPED_TRACE("\"" + Narrow(c.Version1) + "\" vs \"" + Narrow(c.Version2) + "\"");
    EXPECT_EQ(quorvel::CompareVersions(c.Version1, c.Version2), c.Expected);
    EXPECT_EQ(quorvel::CompareVersions(c.Version2, c.Version1), -c.Expected);
}

const TCompareCase Cases[] = {
    {"NewerBuild", u"1.0.0.14", u"1.0.0.13", 1},
    {"SameVersion", u"1.0.0.13", u"1.0.0.13", 0},
    {"NumbersNotText", u"1.0.0.9", u"1.0.0.13", -1},
    {"ThirdNumberDecidesMissingFourthIsZero", u"1.0.1", u"1.0.0.13", 1},
    {"ExtraZeroPiece", u"1.0.0.13.0", u"1.0.0.13", 0},
    {"ExtraNonZeroPiece", u"1.0.0.13.1", u"1.0.0.13", 1},
    {"LeadingZeros", u"01.00.00.013", u"1.0.0.13", 0},
    {"TrailingDotGivesEmptyPiece", u"1.0.0.13.", u"1.0.0.13", 0},
    {"TrailingDotInPlaceOfBuild", u"1.0.0.", u"1.0.0.13", -1},
    {"EmptyPieceInside", u"1..0.14", u"1.0.0.13", 1},
    {"WordAfterBuildMakesItZero", u"1.0.0.14 beta", u"1.0.0.13", -1},
    {"TrailingBlankMakesItZero", u"1.0.0.14 ", u"1.0.0.13", -1},
    {"LeadingBlanksAreAllowed", u"1.0.0.  14", u"1.0.0.13", 1},
    {"SecondLineMakesLastPieceZero", u"1.0.0.14\r\nnews", u"1.0.0.0", 0},
    {"HexadecimalPiece", u"1.0.0.$E", u"1.0.0.13", 1},
    {"MinusOneBelowZero", u"-1", u"0", -1},
    {"BeyondInt32CountsAsZero", u"2147483648", u"0", 0},
    {"LowestInt32KeepsItsValue", u"-2147483648", u"-2147483647", -1},
    {"HighestInt32", u"2147483647", u"2147483646", 1},
    {"EmptyHasNoPieces", u"", u"1.0.0.13", -1},
    {"EmptyEqualsZeros", u"", u"0.0.0.0", 0},
    {"BothEmpty", u"", u"", 0},
    {"LoneDotIsTwoZeroPieces", u".", u"0", 0},
};

INSTANTIATE_TEST_SUITE_P(Table, CompareVersionsTest, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<TCompareCase>& AInfo) { return AInfo.param.Name; });

}  // namespace
