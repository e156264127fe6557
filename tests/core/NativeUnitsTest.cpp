// The engine on 8-bit code units gives what it gives on UTF-16: the same
// clauses rewritten, the same layout, the same notes.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "FakeUnitCatalog.h"
#include "NativeUnitsCheck.h"
#include "PascalTextGenerator.h"
#include "QuorvelCore.h"
#include "TestText.h"

namespace quorvel::test {
namespace {

struct NativeCase {
    const char* Name;
    const char* Bytes;  // UTF-8 unless the name says Latin-1
};

void PrintTo(const NativeCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

const NativeCase kCases[] = {
    {"Ascii", "unit A;\r\ninterface\r\nuses Zeta, Alpha, Mid;\r\nimplementation\r\nuses Y, B;\r\nend.\r\n"},
    {"Latin1Comment", "program P;\nuses {\xE9t\xE9} Zeta, Alpha; // \xFF\xFE\nbegin end.\n"},
    {"Latin1NameBesideKeyword", "program P;\nuses\xC9, Zeta, Alpha;\nuses B, A;\n"},
    {"Utf8Names", "program P;\nuses \xC3\x89t\xC3\xA9, \xC3\x84rger, Zeta, \xF0\x9F\x98\x80x, Alpha;\n"},
    {"Utf8WrapCountsUtf16Units",
     "program P;\nuses \xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9, \xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC, Zeta, Alpha, Beta;\n"},
    {"DirectivesSkip", "unit A;\ninterface\nuses {$IFDEF X} B, {$ENDIF} A;\nimplementation\nuses D, C;\nend."},
    {"KeepOrderMarker", "program P;\nuses Zeta, Alpha; { quorvel: keep order }\n"},
    {"LineEndComments", "program P;\nuses Zeta, Alpha; (* one *) { \xC3\xA9 } // two\r\nbegin end."},
    {"CodeAfterSemicolon", "program P;\nuses Zeta, Alpha; begin end."},
    {"LoneCrBeforeLf", "program P;\ruses Zeta, Alpha;\n\nbegin end."},
    {"InPaths", "program P;\nuses Zeta in 'z\xC3\xA9.pas' {F}, Alpha in '..\\a.pas';\n"},
    {"Unterminated", "program P;\nuses Zeta, Alpha { never closed;\n"},
    {"NoClause", "unit A; interface implementation end."},
};

class NativeUnitsTest : public ::testing::TestWithParam<NativeCase> {};

TEST_P(NativeUnitsTest, BytesReadAsTheirWidenedText) {
    FakeUnitCatalog catalog(u"Zeta=Shared|Alpha=Shared");
    for (const bool vertical : {true, false}) {
        for (const std::int32_t width : {80, 12, 1}) {
            TQuorvel formatter;
            formatter.SetVerticalList(vertical);
            formatter.SetWordWrapAt(width);
            formatter.SetUnitCatalog(&catalog);
            EXPECT_EQ(CheckNativeUnits(formatter, GetParam().Bytes), "") << "vertical " << vertical << ", width " << width;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NativeUnitsTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Generated sources, as UTF-8 (their names are partly not ASCII), with the
// name rule on, so that a shared name makes the whole text be widened.
TEST(NativeUnitsPropertiesTest, GeneratedSourcesReadAlike) {
    PascalTextGenerator generator(20261210);
    FakeUnitCatalog catalog(u"Zeta=Shared Other|Alpha=Shared|Vcl=Other|System=Shared");
    TQuorvel formatter;
    formatter.SetUnitCatalog(&catalog);
    formatter.SetWordWrapAt(20);
    formatter.SetVerticalList(false);
    for (int i = 0; i < 1000; ++i) {
        const std::u16string text = generator.Next();
        const std::string failure = CheckNativeUnits(formatter, EncodeUtf8(text));
        ASSERT_EQ(failure, "") << "text " << i;
    }
}

}  // namespace
}  // namespace quorvel::test
