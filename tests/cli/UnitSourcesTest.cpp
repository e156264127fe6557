// Where the tool finds the units of a clause without being told: one row per
// source of units, each a fake installation or project around the classic
// case, where sorting `Windows, SysUtils` would make DeleteFile reach the
// Windows API instead of SysUtils.

#include <gtest/gtest.h>

#include <functional>

#include "TestFolder.h"
#include "ToolRun.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;
using test::PrintTo;
using test::Quoted;
using test::RunTool;
using test::TestFolder;

std::string UnitText(std::string_view AName, std::string_view AInterface) {
    return "unit " + std::string(AName) + ";\ninterface\n" + std::string(AInterface) + "\nimplementation\nend.\n";
}

constexpr const char* kProgram = "program p;\nuses Windows, SysUtils;\nbegin\n  DeleteFile('x');\nend.\n";

// Both units of the program, declaring DeleteFile, in AFolder of the test folder.
void WriteUnits(const TestFolder& AFolder, const std::string& AFolderName) {
    AFolder.Write(AFolderName + "/windows.pp", UnitText("windows", "function DeleteFile(F: PChar): LongBool;"));
    AFolder.Write(AFolderName + "/sysutils.pp", UnitText("sysutils", "function DeleteFile(const F: string): Boolean;"));
}

struct SourceCase {
    const char* Name;
    // Writes the fixture: the system's files below "system/", the program's
    // folder "app/", where the test has written the program.
    std::function<void(const TestFolder& AFolder)> Setup;
    const char* UnitsFrom;  // what the log's "Units from:" line holds, {root} the test folder; "": no such line
    bool UnixOnly = false;  // a place only Linux and its kind have
};

class UnitSourcesTest : public ::testing::TestWithParam<SourceCase> {};

TEST_P(UnitSourcesTest, KeepsTheOrderTheNameNeedsAndSaysWhereUnitsCameFrom) {
    const SourceCase& c = GetParam();
#ifdef _WIN32
    if (c.UnixOnly) GTEST_SKIP() << "no such place on Windows";
#endif
    const TestFolder folder;
    const fs::path program = folder.Write("app/p.dpr", kProgram);
    c.Setup(folder);
    fs::create_directories(folder / "system");

    const test::ToolOutcome kept = RunTool(folder, "--check " + Quoted(program), {}, {}, folder / "system");
    EXPECT_NE(kept.Out.find("[KEEP] uses — Windows stays before SysUtils (DeleteFile)"), std::string::npos) << kept.Out;
    std::string unitsFrom = std::string("Units from: ") + c.UnitsFrom;
    for (auto at = unitsFrom.find("{root}"); at != std::string::npos; at = unitsFrom.find("{root}"))
        unitsFrom.replace(at, 6, test::NativeSeparators(folder.Path().string()));
    if (*c.UnitsFrom) EXPECT_NE(kept.Out.find(test::NativeSeparators(unitsFrom)), std::string::npos) << kept.Out;
    else EXPECT_EQ(kept.Out.find("Units from:"), std::string::npos) << kept.Out;
    EXPECT_EQ(kept.Out.find("No source found"), std::string::npos) << kept.Out;
}

INSTANTIATE_TEST_SUITE_P(Sources, UnitSourcesTest, ::testing::Values(
    SourceCase{"DebianFreePascalSources",
               [](const TestFolder& AFolder) {
                   WriteUnits(AFolder, "system/usr/share/fpcsrc/3.0.4/rtl");  // an older version: passed over
                   AFolder.Write("system/usr/share/fpcsrc/3.2.2/rtl/win/windows.pp",
                                 UnitText("windows", "{$i ascdef.inc}"));
                   // The include lies in a folder of its own, as the compiler's build finds it.
                   AFolder.Write("system/usr/share/fpcsrc/3.2.2/rtl/win/wininc/ascdef.inc",
                                 "function DeleteFile(F: PChar): LongBool;\n");
                   AFolder.Write("system/usr/share/fpcsrc/3.2.2/rtl/objpas/sysutils.pp",
                                 UnitText("sysutils", "function DeleteFile(const F: string): Boolean;"));
               },
               "Free Pascal 3.2.2 sources ({root}/system/usr/share/fpcsrc/3.2.2)", true},
    SourceCase{"LazarusSettings",
               [](const TestFolder& AFolder) {
                   // One unit in each tree: both must be found.
                   AFolder.Write("lazarus/lcl/windows.pp", UnitText("windows", "function DeleteFile(F: PChar): LongBool;"));
                   AFolder.Write("fpc/3.2.2/source/rtl/sysutils.pp",
                                 UnitText("sysutils", "function DeleteFile(const F: string): Boolean;"));
                   const std::string settings =
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<CONFIG>\n  <EnvironmentOptions>\n"
                       "    <LazarusDirectory Value=\"" + (AFolder / "lazarus").string() + "\"/>\n"
                       "    <FPCSourceDirectory Value=\"" + (AFolder / "fpc").string() + "/$(FPCVer)/source\"/>\n"
                       "  </EnvironmentOptions>\n</CONFIG>\n";
                   AFolder.Write("system/home/.lazarus/environmentoptions.xml", settings);   // Linux
                   AFolder.Write("system/LocalAppData/lazarus/environmentoptions.xml", settings);  // Windows
               },
               "Lazarus sources ({root}/lazarus), Free Pascal sources ({root}/fpc/3.2.2/source)"},
    SourceCase{"FpcConfigUnitFolders",
               [](const TestFolder& AFolder) {
                   WriteUnits(AFolder, "system/home/units/x86_64-linux/rtl");
                   AFolder.Write("system/home/.fpc.cfg", "#IFDEF CPUX86_64\n-Fu~/units/$fpctarget/*\n#ENDIF\n");
               },
               "fpc.cfg unit folders ({root}/system/home/units/x86_64-linux)", true},
    SourceCase{"LazarusProjectSearchPath",
               [](const TestFolder& AFolder) {
                   WriteUnits(AFolder, "shared");
                   AFolder.Write("app/p.lpi",
                                 "<?xml version=\"1.0\"?>\n<CONFIG>\n  <CompilerOptions>\n    <SearchPaths>\n"
                                 "      <OtherUnitFiles Value=\"../shared;$(LazarusDir)/lcl\"/>\n"
                                 "    </SearchPaths>\n  </CompilerOptions>\n</CONFIG>\n");
               },
               "project search path (1 folder)"},
    SourceCase{"DelphiProjectSearchPathAndScopes",
               [](const TestFolder& AFolder) {
                   // Found only through the project's own scope name, which no default list has.
                   AFolder.Write("lib/Acme.Windows.pas",
                                 UnitText("Acme.Windows", "function DeleteFile(F: PChar): LongBool;"));
                   AFolder.Write("lib/Acme.SysUtils.pas",
                                 UnitText("Acme.SysUtils", "function DeleteFile(const F: string): Boolean;"));
                   AFolder.Write("app/p.dproj",
                                 "<Project>\n  <PropertyGroup>\n"
                                 "    <Config Condition=\"'$(Config)'==''\">Debug</Config>\n  </PropertyGroup>\n"
                                 "  <PropertyGroup Condition=\"'$(Config)'=='Debug'\">\n"
                                 "    <DCC_UnitSearchPath>..\\lib;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>\n"
                                 "    <DCC_Namespace>Acme;$(DCC_Namespace)</DCC_Namespace>\n"
                                 "  </PropertyGroup>\n</Project>\n");
               },
               "project search path (1 folder)"},
    SourceCase{"UnitPathDirective",
               [](const TestFolder& AFolder) {
                   WriteUnits(AFolder, "app/units");
                   AFolder.Write("app/p.dpr", std::string("{$UNITPATH units}\n") + kProgram);
               },
               ""}),
    test::CaseName);

// Off, the same installation is not searched: the clause is sorted, and the
// summary counts both units as without source.
TEST(UnitSourcesOffTest, NoDefaultUnitsPathSearchesOnlyWhatItIsTold) {
    const TestFolder folder;
    WriteUnits(folder, "system/usr/share/fpcsrc/3.2.2/rtl");
    const fs::path program = folder.Write("app/p.dpr", kProgram);
    const test::ToolOutcome sorted =
        RunTool(folder, "--check --no-default-units-path " + Quoted(program), {}, {}, folder / "system");
    EXPECT_EQ(sorted.Out.find("[KEEP]"), std::string::npos) << sorted.Out;
    EXPECT_EQ(sorted.Out.find("Units from:"), std::string::npos) << sorted.Out;
    EXPECT_NE(sorted.Out.find("No source found for 2 units named in clauses"), std::string::npos) << sorted.Out;
}

// For CI: a check of unneeded units fails on a file with a unit to remove,
// names it, and passes once the unit is gone; nothing is written meanwhile.
TEST(UnitSourcesOffTest, CheckOfUnneededUnitsFailsUntilTheyAreRemoved) {
    const TestFolder folder;
    WriteUnits(folder, "app");
    folder.Write("app/spare.pas", UnitText("spare", "const SpareValue = 1;"));
    const std::string text = "program p;\nuses\n   spare,\n   sysutils;\nbegin\n  DeleteFile('x');\nend.\n";
    const fs::path program = folder.Write("app/p.dpr", text);
    const std::string options = "--no-default-units-path --unused ";

    const test::ToolOutcome found = RunTool(folder, "--check " + options + Quoted(program));
    EXPECT_EQ(found.ExitCode, 1) << found.Out;
    EXPECT_NE(found.Out.find("[UNUSED] uses — spare"), std::string::npos) << found.Out;
    const std::size_t named = found.Out.find("Unneeded units: ");
    ASSERT_NE(named, std::string::npos) << found.Out;
    EXPECT_EQ(found.Out.substr(found.Out.find('\n', named) - 5, 5), "p.dpr") << found.Out;
    EXPECT_EQ(test::ReadBytes(program), test::AsBytes(text));

    EXPECT_EQ(RunTool(folder, options + "--remove-unused " + Quoted(program)).ExitCode, 0);
    const test::ToolOutcome clean = RunTool(folder, "--check " + options + Quoted(program));
    EXPECT_EQ(clean.ExitCode, 0) << clean.Out;
    EXPECT_EQ(clean.Out.find("spare"), std::string::npos) << clean.Out;
}

// A project file that cannot be read fails each of its files with a message
// naming it: its search path would otherwise be quietly lost.
TEST(UnitSourcesOffTest, AnUnreadableProjectFileFailsItsFilesNamingIt) {
    const TestFolder folder;
    const fs::path program = folder.Write("app/p.dpr", kProgram);
    folder.Write("app/p.dproj", "<Project><PropertyGroup></Project>");
    const test::ToolOutcome outcome = RunTool(folder, "--check " + Quoted(program));
    EXPECT_EQ(outcome.ExitCode, 2);
    EXPECT_NE(outcome.Out.find("[!!] p.dpr: Cannot read project file"), std::string::npos) << outcome.Out;
    EXPECT_NE(outcome.Out.find("p.dproj"), std::string::npos) << outcome.Out;
}

}  // namespace
}  // namespace quorvel::files
