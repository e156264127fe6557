#include <gtest/gtest.h>

#include "TestFolder.h"
#include "UnifiedDiff.h"

namespace quorvel::cli {
namespace {

using files::test::PrintTo;

struct DiffCase {
    const char* Name;
    std::u16string Old, New;
    std::string Expected;  // after the two header lines; "" for no diff at all
};

class UnifiedDiffTest : public ::testing::TestWithParam<DiffCase> {};

TEST_P(UnifiedDiffTest, ShowsTheChangedLinesWithContext) {
    const DiffCase& c = GetParam();
    const std::string expected = c.Expected.empty() ? "" : "--- f.pas\n+++ f.pas\n" + c.Expected;
    EXPECT_EQ(UnifiedDiff(c.Old, c.New, "f.pas"), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnifiedDiffTest, ::testing::Values(
    DiffCase{"Equal", u"a\nb\n", u"a\nb\n", ""},
    DiffCase{"OneLineInTheMiddle", u"1\n2\n3\n4\n5\n6\n7\n8\n9\n", u"1\n2\n3\n4\nV\n6\n7\n8\n9\n",
             "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+V\n 6\n 7\n 8\n"},
    DiffCase{"ClauseSplitIntoLines", u"uses B, A;\r\nbegin\r\n", u"uses\r\n  A,\r\n  B;\r\nbegin\r\n",
             "@@ -1,2 +1,4 @@\n-uses B, A;\r\n+uses\r\n+  A,\r\n+  B;\r\n begin\r\n"},
    DiffCase{"FarApartChangesMakeTwoHunks", u"a\n1\n2\n3\n4\n5\n6\n7\nb\n", u"A\n1\n2\n3\n4\n5\n6\n7\nB\n",
             "@@ -1,4 +1,4 @@\n-a\n+A\n 1\n 2\n 3\n@@ -6,4 +6,4 @@\n 5\n 6\n 7\n-b\n+B\n"},
    DiffCase{"NoFinalLineBreak", u"x\ny", u"x\nz",
             "@@ -1,2 +1,2 @@\n x\n-y\n\\ No newline at end of file\n+z\n\\ No newline at end of file\n"},
    DiffCase{"FromNothing", u"", u"a\n", "@@ -0,0 +1,1 @@\n+a\n"}),
    files::test::CaseName);

}  // namespace
}  // namespace quorvel::cli
