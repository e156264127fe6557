// Finding installed compilers' sources and reading project files, with fake
// trees and a fake registry.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "CompilerSources.h"
#include "FileError.h"
#include "PathText.h"
#include "ProjectSettings.h"
#include "TestFolder.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;
using test::PrintTo;
using test::TestFolder;

// A registry of HKEY_CURRENT_USER: key -> (value name -> string); subkeys follow from the keys.
using FakeRegistry = std::map<std::u16string, std::map<std::u16string, std::u16string>>;

InstallPlaces FakePlaces(const TestFolder& AFolder, const FakeRegistry& ARegistry) {
    InstallPlaces places;
    places.RegistrySubkeys = [&ARegistry](std::u16string_view AKey) {
        std::vector<std::u16string> names;
        const std::u16string prefix = std::u16string(AKey) + u"\\";
        for (const auto& [key, values] : ARegistry)
            if (key.starts_with(prefix) && key.find(u'\\', prefix.size()) == std::u16string::npos)
                names.push_back(key.substr(prefix.size()));
        return names;
    };
    places.RegistryString = [&ARegistry](std::u16string_view AKey, std::u16string_view AName) -> std::optional<std::u16string> {
        const auto key = ARegistry.find(std::u16string(AKey));
        if (key == ARegistry.end()) return std::nullopt;
        const auto value = key->second.find(std::u16string(AName));
        if (value == key->second.end()) return std::nullopt;
        return value->second;
    };
    places.LazarusSettingsFolders = {AFolder / "home/.lazarus"};
    places.FpcConfigFiles = {AFolder / "home/.fpc.cfg", AFolder / "etc/fpc.cfg"};
    places.FpcSourceRoots = {AFolder / "usr/share/fpcsrc"};
    places.LazarusRoots = {AFolder / "usr/lib/lazarus"};
    places.Home = AFolder / "home";
    return places;
}

std::u16string Root(const TestFolder& AFolder, std::string_view ARelative) {
    return PathDisplayText(AFolder / ARelative);
}

struct InstallCase {
    const char* Name;
    // Writes the fake installation and fills the registry.
    std::function<void(const TestFolder& AFolder, FakeRegistry& ARegistry)> Setup;
    const char* DelphiVersion;  // the version a project names ("" for none)
    // The trees found, as "name=folder relative to the test folder", in order.
    std::vector<std::string> Expected;
};

class InstalledCompilersTest : public ::testing::TestWithParam<InstallCase> {};

TEST_P(InstalledCompilersTest, FindsTheTreesOfEachPlace) {
    const InstallCase& c = GetParam();
    const TestFolder folder;
    FakeRegistry registry;
    c.Setup(folder, registry);
    const InstalledCompilers found = FindInstalledCompilers(FakePlaces(folder, registry));
    std::vector<std::string> trees;
    const auto slashed = [](const fs::path& APath) {
        std::u16string text = PathDisplayText(APath.lexically_normal());
        std::replace(text.begin(), text.end(), u'\\', u'/');
        return text;
    };
    const std::u16string root = slashed(folder.Path()) + u"/";
    for (const CompilerSourceTree& tree : found.TreesFor(TextFromUtf8(c.DelphiVersion))) {
        std::u16string path = slashed(tree.Folder);
        if (path.starts_with(root)) path.erase(0, root.size());
        trees.push_back(Utf8FromText(tree.Name) + "=" + Utf8FromText(path) + (tree.WithSubfolders ? "" : " (alone)"));
    }
    EXPECT_EQ(trees, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Places, InstalledCompilersTest, ::testing::Values(
    InstallCase{"NothingInstalled", [](const TestFolder&, FakeRegistry&) {}, "", {}},
    InstallCase{"NewestDelphiByDefault",
                [](const TestFolder& AFolder, FakeRegistry& ARegistry) {
                    for (const char* version : {"d11/source/rtl", "d12/source/rtl", "old/Source/rtl"})
                        AFolder.Write(std::string(version) + "/x.pas", "");
                    ARegistry[u"Software\\Embarcadero\\BDS\\22.0"][u"RootDir"] = Root(AFolder, "d11");
                    ARegistry[u"Software\\Embarcadero\\BDS\\23.0"][u"RootDir"] = Root(AFolder, "d12");
                    ARegistry[u"Software\\Embarcadero\\BDS\\24.0"][u"RootDir"] = Root(AFolder, "gone");
                    ARegistry[u"Software\\Borland\\Delphi\\7.0"][u"RootDir"] = Root(AFolder, "old");
                },
                "", {"Delphi 12 sources=d12/source"}},
    InstallCase{"TheDelphiTheProjectNames",
                [](const TestFolder& AFolder, FakeRegistry& ARegistry) {
                    for (const char* version : {"d11/source/rtl", "d12/source/rtl"}) AFolder.Write(std::string(version) + "/x.pas", "");
                    ARegistry[u"Software\\Embarcadero\\BDS\\22.0"][u"RootDir"] = Root(AFolder, "d11");
                    ARegistry[u"Software\\Embarcadero\\BDS\\23.0"][u"RootDir"] = Root(AFolder, "d12");
                },
                "22.0", {"Delphi 11 sources=d11/source"}},
    InstallCase{"OlderVendorsKeys",
                [](const TestFolder& AFolder, FakeRegistry& ARegistry) {
                    AFolder.Write("d2007/source/x.pas", "");
                    AFolder.Write("d7/Source/x.pas", "");
                    ARegistry[u"Software\\CodeGear\\BDS\\5.0"][u"RootDir"] = Root(AFolder, "d2007");
                    ARegistry[u"Software\\Borland\\Delphi\\7.0"][u"RootDir"] = Root(AFolder, "d7");
                },
                "", {"Delphi 2007 sources=d2007/source"}},
    InstallCase{"DebianTreesNewestVersion",
                [](const TestFolder& AFolder, FakeRegistry&) {
                    for (const char* tree : {"usr/share/fpcsrc/3.0.4", "usr/share/fpcsrc/3.2.2", "usr/share/fpcsrc/3.2.10",
                                             "usr/lib/lazarus/2.2.6"})
                        AFolder.Write(std::string(tree) + "/rtl/x.pp", "");
                },
                "", {"Free Pascal 3.2.10 sources=usr/share/fpcsrc/3.2.10", "Lazarus 2.2.6 sources=usr/lib/lazarus/2.2.6"}},
    InstallCase{"LazarusSettingsWithItsMacros",
                [](const TestFolder& AFolder, FakeRegistry&) {
                    AFolder.Write("laz/fpc/3.2.2/source/rtl/x.pp", "");
                    AFolder.Write("home/.lazarus/environmentoptions.xml",
                                  "<?xml version=\"1.0\"?>\n<CONFIG><EnvironmentOptions>"
                                  "<LazarusDirectory Value=\"" + (AFolder / "laz").string() + "\"/>"
                                  "<FPCSourceDirectory Value=\"$(LazarusDir)fpc/$(FPCVer)/source\"/>"
                                  "</EnvironmentOptions></CONFIG>\n");
                    // The same tree again through Debian's place: counted once.
                    AFolder.Write("usr/lib/lazarus/2.2.6/x.pp", "");
                },
                "", {"Lazarus sources=laz", "Lazarus 2.2.6 sources=usr/lib/lazarus/2.2.6"}},
    InstallCase{"SettingsThatCannotBeReadAddNothing",
                [](const TestFolder& AFolder, FakeRegistry&) {
                    AFolder.Write("home/.lazarus/environmentoptions.xml", "<CONFIG><EnvironmentOptions>");
                },
                "", {}},
    InstallCase{"FpcConfigFoldersWithSources",
                [](const TestFolder& AFolder, FakeRegistry&) {
                    AFolder.Write("home/src/mine/a.pas", "");
                    AFolder.Write("units/x86_64-linux/rtl/system.ppu", "");  // compiled units only: passed over
                    AFolder.Write("units/x86_64-linux/fcl/src.pp", "");
                    AFolder.Write("home/.fpc.cfg",
                                  "# comment\n#IFDEF LINUX\n-Fu~/src/mine\n#ENDIF\n-Fu" + (AFolder / "units").string() +
                                  "/$fpctarget/rtl\n#INCLUDE " + (AFolder / "more.cfg").string() + "\n");
                    AFolder.Write("more.cfg", "-Fu" + (AFolder / "units").string() + "/$fpccpu-$fpcos/*\n");
                    AFolder.Write("etc/fpc.cfg", "-Fu" + (AFolder / "home/src").string() + "\n");  // not read: ~/.fpc.cfg comes first
                },
                "", {"fpc.cfg unit folders=home/src/mine (alone)", "fpc.cfg unit folders=units/x86_64-linux"}}),
    test::CaseName);

TEST(DelphiVersionsTest, ProductNamesAndProjectVersions) {
    EXPECT_EQ(DelphiProductName(u"23.0"), u"Delphi 12");
    EXPECT_EQ(DelphiProductName(u"99.0"), u"BDS 99.0");
    EXPECT_EQ(DelphiVersionOfProject(u"20.1"), u"23.0");
    EXPECT_EQ(DelphiVersionOfProject(u"19.5"), u"22.0");
    EXPECT_EQ(DelphiVersionOfProject(u"18.8"), u"20.0");
    EXPECT_EQ(DelphiVersionOfProject(u"banana"), std::nullopt);
}

// A Delphi project as the IDE writes it: a default configuration and
// platform, groups for them, and lists built on their parents' values.
constexpr const char* kDelphiProject = R"(<Project xmlns="http://schemas.microsoft.com/developer/msbuild/2003">
  <PropertyGroup>
    <ProjectVersion>20.1</ProjectVersion>
    <Config Condition="'$(Config)'==''">Debug</Config>
    <Platform Condition="'$(Platform)'==''">Win32</Platform>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Config)'=='Base' or '$(Base)'!=''"><Base>true</Base></PropertyGroup>
  <PropertyGroup Condition="('$(Platform)'=='Win32' and '$(Base)'=='true') or '$(Base_Win32)'!=''">
    <Base_Win32>true</Base_Win32>
  </PropertyGroup>
  <PropertyGroup Condition="('$(Platform)'=='Win64' and '$(Base)'=='true') or '$(Base_Win64)'!=''">
    <Base_Win64>true</Base_Win64>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Config)'=='Debug' or '$(Cfg_1)'!=''"><Cfg_1>true</Cfg_1><Base>true</Base></PropertyGroup>
  <PropertyGroup Condition="'$(Config)'=='Release' or '$(Cfg_2)'!=''"><Cfg_2>true</Cfg_2></PropertyGroup>
  <PropertyGroup Condition="'$(Base)'!=''">
    <DCC_Namespace>System;Xml;$(DCC_Namespace)</DCC_Namespace>
    <DCC_UnitSearchPath>lib;$(BDS)\source\extra;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Base_Win32)'!=''">
    <DCC_Namespace>Winapi;Vcl;$(DCC_Namespace)</DCC_Namespace>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Base_Win64)'!=''">
    <DCC_UnitSearchPath>win64only;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Cfg_1)'!=''">
    <DCC_UnitSearchPath>debug\units;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>
    <DCC_IncludePath>inc</DCC_IncludePath>
  </PropertyGroup>
  <PropertyGroup Condition="'$(Cfg_2)'!=''">
    <DCC_UnitSearchPath>release;$(DCC_UnitSearchPath)</DCC_UnitSearchPath>
  </PropertyGroup>
</Project>
)";

struct ProjectCase {
    const char* Name;
    const char* File;     // its name, in the folder "proj/"
    const char* Content;
    std::vector<std::string> UnitFolders, IncludeFolders;  // relative to "proj/", "/"-separated
    std::optional<std::vector<std::u16string>> Scopes;
    const char* DelphiVersion;
    bool FreePascal;
};

class ProjectFileTest : public ::testing::TestWithParam<ProjectCase> {};

TEST_P(ProjectFileTest, ReadsTheDefaultConfigurationsFolders) {
    const ProjectCase& c = GetParam();
    const TestFolder folder;
    const ProjectSettings settings = ReadProjectFile(folder.Write(std::string("proj/") + c.File, c.Content));
    const auto relative = [&](const std::vector<fs::path>& AFolders) {
        std::vector<std::string> names;
        for (const fs::path& path : AFolders) names.push_back(path.lexically_relative(folder / "proj").generic_string());
        return names;
    };
    EXPECT_EQ(relative(settings.UnitFolders), c.UnitFolders);
    EXPECT_EQ(relative(settings.IncludeFolders), c.IncludeFolders);
    EXPECT_EQ(settings.UnitScopeNames, c.Scopes);
    EXPECT_EQ(Utf8FromText(settings.DelphiVersion), c.DelphiVersion);
    EXPECT_EQ(settings.FreePascal, c.FreePascal);
}

INSTANTIATE_TEST_SUITE_P(Projects, ProjectFileTest, ::testing::Values(
    ProjectCase{"DelphiProject", "App.dproj", kDelphiProject, {"debug/units", "lib"}, {"inc"},
                std::vector<std::u16string>{u"Winapi", u"Vcl", u"System", u"Xml"}, "23.0", false},
    ProjectCase{"LazarusProject", "app.lpi",
                R"(<?xml version="1.0" encoding="UTF-8"?>
<CONFIG>
  <ProjectOptions><BuildModes><Item Name="Release"><CompilerOptions><SearchPaths>
    <OtherUnitFiles Value="release-only"/>
  </SearchPaths></CompilerOptions></Item></BuildModes></ProjectOptions>
  <CompilerOptions>
    <SearchPaths>
      <IncludeFiles Value="$(ProjOutDir);include"/>
      <OtherUnitFiles Value="src;../shared;$(LazarusDir)/lcl"/>
    </SearchPaths>
  </CompilerOptions>
</CONFIG>
)",
                {"src", "../shared"}, {"include"}, std::nullopt, "", true},
    ProjectCase{"LazarusPackage", "pkg.lpk",
                R"(<?xml version="1.0"?><CONFIG><Package><CompilerOptions><SearchPaths>
<OtherUnitFiles Value="source/&quot;odd&quot;"/></SearchPaths></CompilerOptions></Package></CONFIG>)",
                {"source/\"odd\""}, {}, std::nullopt, "", true},
    ProjectCase{"DelphiPackage", "Pkg.dpk",
                "package Pkg;\nrequires rtl;\ncontains\n  A in 'src\\A.pas',\n  B in 'other/B.pas' { comment },\n  C;\nend.\n",
                {"src", "other"}, {}, std::nullopt, "", false}),
    test::CaseName);

TEST(ProjectFileErrorTest, AProjectFileThatCannotBeReadIsAnErrorNamingIt) {
    const TestFolder folder;
    for (const char* name : {"Broken.dproj", "broken.lpi"}) {
        const fs::path file = folder.Write(name, "<Project><PropertyGroup>");
        try {
            ReadProjectFile(file);
            FAIL() << name << ": no error";
        } catch (const FileError& error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
    }
}

// The nearest folder with project files counts, all of its files together;
// the search stops at a Git work tree's root.
TEST(ProjectLookupTest, TheNearestProjectFolderCountsWhole) {
    const TestFolder folder;
    folder.Write("repo/.git/HEAD", "");
    folder.Write("repo/App.dproj", "<Project><PropertyGroup><DCC_UnitSearchPath>lib</DCC_UnitSearchPath></PropertyGroup></Project>");
    folder.Write("repo/App.dpk", "package App;\ncontains X in 'pkg\\X.pas';\nend.\n");
    folder.Write("repo/src/deep/U.pas", "");
    folder.Write("outside.lpi", "<CONFIG/>");
    folder.Write("repo2/.git/HEAD", "");
    folder.Write("repo2/src/U.pas", "");
    ProjectLookup lookup;
    const auto project = lookup.For(folder / "repo/src/deep");
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->Files.size(), 2u);
    EXPECT_EQ(project->UnitFolders.size(), 2u);
    EXPECT_EQ(lookup.For(folder / "repo/src"), project) << "found once, shared";
    EXPECT_EQ(lookup.For(folder / "repo2/src"), nullptr) << "not above the work tree's root";
}

}  // namespace
}  // namespace quorvel::files
