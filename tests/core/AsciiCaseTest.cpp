// The case folding the engine exports to the other layers: a to z only, so
// the neighbours of the letter ranges and letters outside ASCII stay apart.

#include <gtest/gtest.h>

#include <string_view>

#include "AsciiCase.h"
#include "TestText.h"

namespace quorvel::test {
namespace {

TEST(AsciiCase, FoldsOnlyAToZ) {
    EXPECT_EQ(u"@AZ[`AZ{\u00C9\u00E9\u00DF\u0131\u0436_.9", FoldAscii(u"@AZ[`az{\u00C9\u00E9\u00DF\u0131\u0436_.9"));
    EXPECT_EQ(u"", FoldAscii(u""));
}

TEST(AsciiCase, SameNameIgnoresOnlyAsciiCase) {
    struct Case {
        std::u16string_view Left, Right;
        bool Same;
    };
    constexpr Case kCases[] = {
        {u"System.SysUtils", u"SYSTEM.sysutils", true},
        {u"", u"", true},
        {u"[", u"{", false},  // the neighbours of A-Z and a-z
        {u"@", u"`", false},
        {u"\u00E9", u"\u00C9", false},  // no folding outside ASCII
        {u"Sys", u"SysUtils", false},
        {u"SysUtils", u"Sys", false},
    };
    for (const Case& c : kCases) {
        EXPECT_EQ(c.Same, SameAsciiName(c.Left, c.Right)) << Show(c.Left) << " / " << Show(c.Right);
    }
}

}  // namespace
}  // namespace quorvel::test
