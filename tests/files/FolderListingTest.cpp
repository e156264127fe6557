#include <gtest/gtest.h>

#include "FileError.h"
#include "FolderListing.h"
#include "TestFolder.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;

// A tree with every kind of name the listing must tell apart, a folder that
// looks like a unit, a link to a folder and a link loop.
class FolderListingTest : public ::testing::Test {
protected:
    FolderListingTest() {
        for (const char* name : {"b.pas", "A.PAS", "aB.pas", "a_.pas", "c.dpr", "d.DPK", "Unit1.pas.bak", "x.pasx",
                                 "Old.pas/inner.pas", "sub/z.pas", "sub/y.dpr", "other/w.pas"}) {
            FFolder.Write(name, "unit X; end.");
        }
#ifndef _WIN32  // links need a privilege there that tests do not have
        fs::create_directory_symlink(FFolder / "other", FFolder / "linked");
        fs::create_directory_symlink(FFolder.Path(), FFolder / "sub" / "loop");
#endif
    }

    // The listing as paths relative to the test folder, "/"-separated.
    std::vector<std::string> List(bool ARecursive) const {
        std::vector<std::string> names;
        const std::string prefix = FFolder.Path().string() + char(fs::path::preferred_separator);
        for (const fs::path& path : ListSourceFiles(FFolder.Path(), ARecursive)) {
            EXPECT_EQ(path.string().rfind(prefix, 0), 0u) << path;
            names.push_back(fs::path(path.string().substr(prefix.size())).generic_string());
        }
        return names;
    }

    test::TestFolder FFolder;
};

// "a_" before "aB": letters compare as lower case, so '_' (0x5F) < 'b' (0x62).
TEST_F(FolderListingTest, KindsInOrderThenDepthFirstByNameWithoutCase) {
    EXPECT_EQ(List(true), (std::vector<std::string>{"A.PAS", "a_.pas", "aB.pas", "b.pas", "Old.pas/inner.pas",
                                                    "other/w.pas", "sub/z.pas", "c.dpr", "sub/y.dpr", "d.DPK"}));
}

// Free Pascal's own kinds come only from in and below a folder holding a
// Lazarus or Free Pascal project, after the other kinds; named kinds replace the rule.
TEST(FolderListingKindsTest, FreePascalKindsBelowItsProjectsOrAsNamed) {
    test::TestFolder folder;
    for (const char* name : {"a.pas", "a.pp", "a.lpr", "laz/app.lpi", "laz/b.pp", "laz/main.lpr", "laz/b.pas",
                             "laz/sub/c.pp", "fpc/Makefile.fpc", "fpc/d.pp", "pkg/fpmake.pp", "pkg/e.pp"})
        folder.Write(name, "");
    const auto names = [&](const std::optional<std::vector<std::string>>& AKinds) {
        std::vector<std::string> list;
        for (const fs::path& path : ListSourceFiles(folder.Path(), true, {}, AKinds))
            list.push_back(path.lexically_relative(folder.Path()).generic_string());
        return list;
    };
    EXPECT_EQ(names(std::nullopt), (std::vector<std::string>{"a.pas", "laz/b.pas", "fpc/d.pp", "laz/b.pp",
                                                             "laz/sub/c.pp", "pkg/e.pp", "pkg/fpmake.pp",
                                                             "laz/main.lpr"}));
    EXPECT_EQ(names(std::vector<std::string>{".LPR", ".pp"}),
              (std::vector<std::string>{"a.lpr", "laz/main.lpr", "a.pp", "fpc/d.pp", "laz/b.pp", "laz/sub/c.pp",
                                        "pkg/e.pp", "pkg/fpmake.pp"}));
}

TEST_F(FolderListingTest, WithoutRecursionOnlyTheFolderItself) {
    EXPECT_EQ(List(false), (std::vector<std::string>{"A.PAS", "a_.pas", "aB.pas", "b.pas", "c.dpr", "d.DPK"}));
}

TEST_F(FolderListingTest, AFolderEndingInASeparatorGetsNoSecondOne) {
    const auto listing = ListSourceFiles(FFolder.Path().string() + "/", false);
    ASSERT_FALSE(listing.empty());
    EXPECT_EQ(listing.front(), FFolder.Path().string() + "/A.PAS");
}

TEST_F(FolderListingTest, NoFolderToListFailsNamingIt) {
    const fs::path missing = FFolder / "missing";
    EXPECT_THROW(
        try { ListSourceFiles(missing, true); } catch (const FileError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot list \"" + missing.string() + "\": the folder does not exist");
            throw;
        },
        FileError);
    EXPECT_THROW(ListSourceFiles(FFolder / "b.pas", true), FileError);
    EXPECT_THROW(ListSourceFiles("", true), FileError);
}

struct ExtensionCase {
    const char* Path;
    bool Expected;
};

void PrintTo(const ExtensionCase& ACase, std::ostream* AOut) { *AOut << ACase.Path; }

class SourceFileExtensionTest : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(SourceFileExtensionTest, MatchesTheThreeEndingsWithoutCase) {
    EXPECT_EQ(HasSourceFileExtension(GetParam().Path), GetParam().Expected) << GetParam().Path;
}

INSTANTIATE_TEST_SUITE_P(Names, SourceFileExtensionTest, ::testing::Values(
    ExtensionCase{"src/Unit1.pas", true}, ExtensionCase{"UNIT1.PAS", true}, ExtensionCase{"p.Dpr", true},
    ExtensionCase{"p.dpk", true}, ExtensionCase{".pas", true}, ExtensionCase{"Unit1.pas.bak", false},
    ExtensionCase{"Unit1.pasx", false}, ExtensionCase{"pas", false}, ExtensionCase{"Unit1.pp", false},
    ExtensionCase{"Old.pas/", false}));

}  // namespace
}  // namespace quorvel::files
