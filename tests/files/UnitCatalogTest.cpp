#include <gtest/gtest.h>

#include "BatchRun.h"
#include "FileError.h"
#include "TestFolder.h"
#include "UnitCatalog.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;
using test::UnitText;

bool Declares(const FileUnitCatalog& ACatalog, std::u16string_view AUnit, const std::u16string& AIdentifier) {
    const TIdentifierSet* found = ACatalog.F_FindUnit(AUnit);
    return found && found->contains(AIdentifier);
}

// A project folder beside a library tree given as the units path.
class UnitCatalogTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder.Write("project/Main.pas", UnitText("Main", "procedure Run;"));
        FFolder.Write("project/sub/Nested.pas", UnitText("Nested", "procedure InSubfolder;"));
        FFolder.Write("lib/rtl/unix/sysutils.pp", UnitText("sysutils", "{$I sysutilh.inc}"));
        FFolder.Write("lib/rtl/objpas/sysutilh.inc", "function DeleteFile(const F: string): Boolean;\n");
        FFolder.Write("lib/rtl/win/sysutils.pp", UnitText("sysutils", "procedure OnlyOnWindows;"));
        FFolder.Write("lib/api/Windows.pas", UnitText("Windows", "{$I 'decl'}\nconst MAX_PATH = 260;"));
        FFolder.Write("lib/api/decl.inc", "type HWND = NativeUInt;\n");
        FFolder.Write("lib/gen/Generics.pas", UnitText("Generics", "{$I inc\\generich.inc}"));
        FFolder.Write("lib/gen/inc/generich.inc", "type TOpenList = class end;\n");
    }
    UnitSearchFolders Folders() const { return {{FFolder / "project"}, {FFolder / "lib"}}; }
    TestFolder FFolder;
};

TEST_F(UnitCatalogTest, FindsUnitsByNameWithoutCaseThroughTheirIncludes) {
    const FileUnitCatalog catalog(Folders());
    struct Case {
        std::u16string Unit, Identifier;
        bool Expected;
    };
    const Case cases[] = {
        {u"main", u"RUN", true},                   // beside the files formatted
        {u"SYSUTILS", u"DELETEFILE", true},        // include found below the units path, not beside the unit
        {u"SysUtils", u"ONLYONWINDOWS", true},     // every source of one name counts
        {u"Windows", u"HWND", true},               // quoted include name without extension: ".inc" tried
        {u"Windows", u"MAX_PATH", true},
        {u"Generics", u"TOPENLIST", true},         // a backslash separates folders on every system
        {u"Nested", u"INSUBFOLDER", false},        // the files' folders are searched without subfolders
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Unit.begin(), c.Unit.end()));
        EXPECT_EQ(Declares(catalog, c.Unit, c.Identifier), c.Expected);
    }
    EXPECT_EQ(catalog.F_FindUnit(u"Nested"), nullptr);
    EXPECT_EQ(catalog.F_FindUnit(u"sysutilh"), nullptr) << "an include file is no unit";
}

// The declared name of a unit for the declared case, and which units are the
// project's own for the "project" group.
TEST_F(UnitCatalogTest, DeclaredNamesAndProjectUnits) {
    FFolder.Write("lib/api/NoHeading.pas", "{ not a unit }\nbegin end.\n");
    FFolder.Write("lib/api/Dotted.Name.pas", "{ c }\nunit Dotted.NAME;\ninterface\nimplementation\nend.\n");
    const FileUnitCatalog catalog(Folders());
    EXPECT_EQ(catalog.F_DeclaredName(u"MAIN"), u"Main");
    EXPECT_EQ(catalog.F_DeclaredName(u"SysUtils"), u"sysutils");
    EXPECT_EQ(catalog.F_DeclaredName(u"dotted.name"), u"Dotted.NAME");
    EXPECT_EQ(catalog.F_DeclaredName(u"noheading"), u"NoHeading") << "the file's name where there is no heading";
    EXPECT_EQ(catalog.F_DeclaredName(u"Missing"), u"");
    EXPECT_TRUE(catalog.F_IsProjectUnit(u"main"));
    EXPECT_FALSE(catalog.F_IsProjectUnit(u"Windows"));
    EXPECT_FALSE(catalog.F_IsProjectUnit(u"Missing"));
}

TEST_F(UnitCatalogTest, CountsDistinctUnitsWithoutSource) {
    const FileUnitCatalog catalog(Folders());
    for (const auto* name : {u"Missing", u"MISSING", u"Other.Missing"}) catalog.NoteUnitWithoutSource(name);
    EXPECT_EQ(catalog.UnitsWithoutSource(), 2u);
}

TEST_F(UnitCatalogTest, AUnitsFolderThatDoesNotExistIsAnErrorNamingIt) {
    try {
        FileUnitCatalog catalog({{}, {FFolder / "no-such-folder"}});
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find("no-such-folder"), std::string::npos) << error.what();
    }
}

// The order rule seen from a run: a name both units declare keeps the unit it
// resolves to last; the summary counts the units whose source is not found.
TEST_F(UnitCatalogTest, RunKeepsTheUnitANameResolvesToAndCountsUnitsWithoutSource) {
    const std::string source = "program P;\nuses Windows, SysUtils, Zeta, Alpha;\nbegin DeleteFile(''); end.\n";
    FFolder.Write("lib/api/Windows.pas", UnitText("Windows", "function DeleteFile(F: PChar): LongBool;"));
    const fs::path file = FFolder.Write("project/P.dpr", source);
    std::vector<std::u16string> log;
    BatchCallbacks callbacks;
    callbacks.Log = [&](const std::u16string& ALine) { log.push_back(ALine); };
    RunBatch({file}, {.Options = {}, .UnitsPath = {FFolder / "lib"}}, {.Backup = false}, callbacks);

    const Bytes written = test::ReadBytes(file);
    EXPECT_EQ(std::string(written.begin(), written.end()),
              "program P;\nuses\n   Alpha,\n   Windows,\n   SysUtils,\n   Zeta;\nbegin DeleteFile(''); end.\n");
    EXPECT_NE(std::find(log.begin(), log.end(), u"  [KEEP] uses \u2014 Windows stays before SysUtils (DeleteFile)"),
              log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), u"No source found for 2 units named in clauses"), log.end());
}

// The names a file uses in its include files count as its own; an include
// file that cannot be read may use any name, so the order stays.
TEST_F(UnitCatalogTest, NamesUsedInIncludeFilesCount) {
    FFolder.Write("lib/api/Windows.pas", UnitText("Windows", "function DeleteFile(F: PChar): LongBool;"));
    FFolder.Write("project/uses-it.inc", "procedure X; begin DeleteFile(''); end;\n");
    FFolder.Write("project/uses-nothing.inc", "procedure X; begin end;\n");
    FFolder.Write("project/nests-it.inc", "{ (*$I uses-nothing.inc*) }\n(*$I uses-it.inc*)\n");
    FFolder.Write("project/nests-nothing.inc", "{$I uses-nothing.inc}\n");
    struct Case {
        const char* Include;
        bool KeepsOrder;
    };
    for (const Case& c : {Case{"uses-it.inc", true}, Case{"uses-nothing.inc", false}, Case{"missing.inc", true},
                          Case{"nests-it.inc", true}, Case{"nests-nothing.inc", false}}) {
        SCOPED_TRACE(c.Include);
        const std::string source = "program P;\nuses Windows, SysUtils;\n{$I " + std::string(c.Include) + "}\nbegin end.\n";
        const SourceFormatter formatter({.Options = {}, .UnitsPath = {FFolder / "lib"}}, {FFolder / "project"});
        const std::u16string formatted = formatter.Format(std::u16string(source.begin(), source.end()),
                                                          FFolder / "project/P.dpr", {});
        EXPECT_EQ(formatted.find(u"Windows") < formatted.find(u"SysUtils"), c.KeepsOrder);
    }
}

// {$I name} is looked for as the compiler does: the name as written, then
// with .inc, .pp, .pas; beside the unit, then in the include folders; then by
// file name below the search folders, the copies nearest to the unit only
// (a tree's shared include folder, not a package's file of the same name).
TEST(UnitCatalogIncludeTest, FindsIncludesInTheCompilersOrder) {
    const TestFolder folder;
    folder.Write("lib/rtl/win64/windows.pp",
                 UnitText("windows", "{$i base}\n{$i ascdef.inc}\n{$i shared}\n{$i inpath}"));
    folder.Write("lib/rtl/win64/base.pp", "procedure FromBasePp;\n");
    folder.Write("lib/rtl/win64/base.pas", "procedure FromBasePas;\n");
    folder.Write("lib/rtl/win/wininc/ascdef.inc", "function DeleteFile(F: PChar): LongBool;\n");
    folder.Write("lib/packages/other/ascdef.inc", "procedure FromAnotherPackage;\n");
    folder.Write("lib/rtl/inc/shared.inc", "procedure FromShared;\n");
    folder.Write("lib/rtl/inc/shared.pp", "procedure FromSharedPp;\n");
    folder.Write("includes/inpath.inc", "procedure FromIncludePath;\n");
    folder.Write("lib/rtl/other/inpath.inc", "procedure FromElsewhere;\n");
    const FileUnitCatalog catalog({{}, {folder / "lib"}, {folder / "includes"}});
    struct Case {
        std::u16string Identifier;
        bool Expected;
    };
    for (const Case& c : {Case{u"FROMBASEPP", true}, Case{u"FROMBASEPAS", false}, Case{u"DELETEFILE", true},
                          Case{u"FROMANOTHERPACKAGE", false}, Case{u"FROMSHARED", true}, Case{u"FROMSHAREDPP", false},
                          Case{u"FROMINCLUDEPATH", true}, Case{u"FROMELSEWHERE", false}}) {
        SCOPED_TRACE(std::string(c.Identifier.begin(), c.Identifier.end()));
        EXPECT_EQ(Declares(catalog, u"Windows", c.Identifier), c.Expected);
    }
}

// A catalog over a shared one (the compilers' trees): a unit of either counts,
// one in both with both its sources.
TEST(UnitCatalogIncludeTest, ABaseCatalogsUnitsCountToo) {
    const TestFolder folder;
    folder.Write("tree/sysutils.pp", UnitText("sysutils", "procedure FromTree;"));
    folder.Write("tree/classes.pp", UnitText("classes", "procedure OnlyInTree;"));
    folder.Write("own/SysUtils.pas", UnitText("SysUtils", "procedure FromOwn;"));
    const auto base = std::make_shared<const FileUnitCatalog>(UnitSearchFolders{{}, {folder / "tree"}});
    const FileUnitCatalog catalog({{folder / "own"}, {}}, base);
    EXPECT_TRUE(Declares(catalog, u"SysUtils", u"FROMTREE"));
    EXPECT_TRUE(Declares(catalog, u"SysUtils", u"FROMOWN"));
    EXPECT_TRUE(Declares(catalog, u"Classes", u"ONLYINTREE"));
    EXPECT_FALSE(Declares(*base, u"SysUtils", u"FROMOWN")) << "the shared catalog stays as it was";
}

}  // namespace
}  // namespace quorvel::files
