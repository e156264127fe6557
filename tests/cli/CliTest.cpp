// quorvel-cli end to end: the built tool on a temporary folder.

#include <gtest/gtest.h>

#include "PathText.h"
#include "QuorvelCore.h"
#include "SourceCodec.h"
#include "TestFolder.h"
#include "ToolRun.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

using test::PrintTo;

namespace fs = std::filesystem;
using test::AsBytes;
using test::ReadBytes;
using test::TestFolder;

const std::u16string kUnsorted = u"unit U;\ninterface\nuses B, A;\nimplementation\nend.\n";
const std::u16string kSorted = TQuorvel().F_FormatSource(kUnsorted);
const Bytes kUnsortedFile = AsBytes(Utf8FromText(kUnsorted));
const Bytes kSortedFile = AsBytes(Utf8FromText(kSorted));

using Outcome = test::ToolOutcome;
using test::Quoted;
using test::RunTool;

std::string AsText(const Bytes& ABytes) { return std::string(ABytes.begin(), ABytes.end()); }

// A project folder with one file to rewrite and one already in order.
class CliTest : public ::testing::Test {
protected:
    TestFolder FFolder;
    const fs::path FDirty = FFolder.Write("src/Dirty.pas", kUnsortedFile);
    const fs::path FClean = FFolder.Write("src/Clean.pas", kSortedFile);
    const std::string FSrc = Quoted(FFolder / "src");
};

struct ExitCase {
    const char* Name;
    const char* Arguments;  // {src} stands for the project folder
    int ExitCode;
    bool Rewrites;
    const char* InOutput;  // on standard output; {src} as above
};

std::string WithPlaceholder(std::string AText, const std::string& APlaceholder, const std::string& AValue) {
    for (auto at = AText.find(APlaceholder); at != std::string::npos; at = AText.find(APlaceholder))
        AText.replace(at, APlaceholder.size(), AValue);
    return AText;
}

std::string WithSource(const std::string& AText, const std::string& ASource) {
    return WithPlaceholder(AText, "{src}", ASource);
}

class CliExitTest : public CliTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(CliExitTest, ExitCodeOutputAndFiles) {
    const ExitCase& c = GetParam();
    const Outcome outcome = RunTool(FFolder, WithSource(c.Arguments, FSrc));
    EXPECT_EQ(outcome.ExitCode, c.ExitCode) << outcome.Out << outcome.Err;
    EXPECT_EQ(ReadBytes(FDirty), c.Rewrites ? kSortedFile : kUnsortedFile);
    const std::string expected = WithSource(test::NativeSeparators(c.InOutput), (FFolder / "src").string());
    EXPECT_NE(outcome.Out.find(expected), std::string::npos) << outcome.Out;
}

INSTANTIATE_TEST_SUITE_P(Modes, CliExitTest, ::testing::Values(
    ExitCase{"Writes", "{src}", 0, true, "  [=] Clean.pas\n  [OK] Dirty.pas\n\nDone: 1 changed, 1 unchanged, 0 errors\n"},
    ExitCase{"CheckNamesWhatWouldChange", "--check {src}", 1, false, "\nWould change: {src}/Dirty.pas\n"},
    ExitCase{"CheckOfACleanFile", "--check {src}/Clean.pas", 0, false, "  [=] Clean.pas\n"},
    ExitCase{"Diff", "--diff {src}", 1, false, "--- {src}/Dirty.pas\n+++ {src}/Dirty.pas\n@@ -1,5 +1,7 @@\n"},
    ExitCase{"MissingFile", "{src}/None.pas {src}", 2, true, "  [!!] None.pas: Cannot read"},
    ExitCase{"MissingFolderOnly", "{src}/None/", 2, false, ""},
    ExitCase{"BadWidth", "--wrap-at wide {src}", 2, false, ""},
    ExitCase{"NoPath", "", 2, false, ""},
    ExitCase{"StandardInputNotAlone", "- {src}", 2, false, ""},
    ExitCase{"UnitsPathNotAFolder", "--units-path {src}/None {src}", 2, false, ""},
    ExitCase{"UnitsPathTakesOneFolder", "--units-path {src} {src}", 0, true, "  [OK] Dirty.pas\n"},
    ExitCase{"Version", "--version", 0, false, "quorvel-cli "}),
    test::CaseName);

TEST_F(CliTest, BackupHoldsTheOldBytes) {
    EXPECT_EQ(RunTool(FFolder, "--backup " + FSrc).ExitCode, 0);
    EXPECT_EQ(ReadBytes(BackupPathOf(FDirty)), kUnsortedFile);
    EXPECT_FALSE(fs::exists(BackupPathOf(FClean)));
}

TEST_F(CliTest, NoRecursiveLeavesSubfolders) {
    const auto nested = FFolder.Write("src/sub/Nested.pas", kUnsortedFile);
    EXPECT_EQ(RunTool(FFolder, "--no-recursive " + FSrc).ExitCode, 0);
    EXPECT_EQ(ReadBytes(nested), kUnsortedFile);
    EXPECT_EQ(ReadBytes(FDirty), kSortedFile);
}

TEST_F(CliTest, QuietPrintsOnlyErrors) {
    const Outcome outcome = RunTool(FFolder, "-q " + FSrc + " " + Quoted(FFolder / "None.pas"));
    EXPECT_EQ(outcome.ExitCode, 2);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_TRUE(outcome.Err.starts_with("  [!!] None.pas: ")) << outcome.Err;
}

// ---- names with letters outside ASCII ------------------------------------

struct NameCase {
    const char* Name;
    const char* Folder;  // UTF-8
    const char* File;    // UTF-8, without ".pas"
};

class CliNameTest : public ::testing::TestWithParam<NameCase> {};

// As an argument, through a listed folder, in log lines, in --check and --diff output.
TEST_P(CliNameTest, NamesArriveAndComeOutWhole) {
    const NameCase& c = GetParam();
    const TestFolder folder;
    const fs::path src = folder / c.Folder, file = src / test::Utf8Path(std::string(c.File) + ".pas");
    folder.Write(std::string(c.Folder) + "/" + c.File + ".pas", kUnsortedFile);
    const std::string path = PathMessageText(file);

    const Outcome diff = RunTool(folder, "--diff " + Quoted(src));
    EXPECT_EQ(diff.ExitCode, 1) << diff.Err;
    EXPECT_TRUE(diff.Out.starts_with("--- " + path + "\n+++ " + path + "\n")) << diff.Out;
    const Outcome check = RunTool(folder, "--check " + Quoted(file));
    EXPECT_NE(check.Out.find("\nWould change: " + path + "\n"), std::string::npos) << check.Out;
    const Outcome write = RunTool(folder, Quoted(src));
    EXPECT_NE(write.Out.find("  [OK] " + std::string(c.File) + ".pas\n"), std::string::npos) << write.Out;
    EXPECT_EQ(ReadBytes(file), kSortedFile);
}

INSTANTIATE_TEST_SUITE_P(Names, CliNameTest, ::testing::Values(
    NameCase{"Accents", "Caf\u00e9", "Gr\u00fc\u00dfe"},
    NameCase{"Japanese", "\u65e5\u672c", "\u65e5\u672c\u8a9e"},
    NameCase{"MixedWithSpaces", "\u00e9 \u00fc \u65e5\u672c", "\u00dc"}),
    test::CaseName);

// ---- The order options ------------------------------------------------------

struct OrderCase {
    const char* Name;
    const char* Arguments;
    const char* Order;  // the units in the order written out
};

class CliOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(CliOrderTest, ChoosesWhichUnitsStayFirst) {
    const TestFolder folder;
    const Outcome outcome =
        RunTool(folder, std::string(GetParam().Arguments) + " --wrapped -",
                AsBytes("program P;\nuses Zed, Classes, cthreads, Mine, cmem;\nbegin end.\n"));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(outcome.Out, "program P;\nuses\n   " + std::string(GetParam().Order) + ";\nbegin end.\n");
}

INSTANTIATE_TEST_SUITE_P(Options, CliOrderTest, ::testing::Values(
    OrderCase{"BuiltInListFirstInWrittenOrder", "", "cthreads, cmem, Classes, Mine, Zed"},
    OrderCase{"UsersNamesJoinTheList", "--keep-first zed --keep-first Foo,Mine", "Zed, cthreads, Mine, cmem, Classes"},
    OrderCase{"NoBuiltInList", "--no-keep-first --keep-first Mine", "Mine, Classes, cmem, cthreads, Zed"},
    OrderCase{"PlainOrder", "--plain-order --keep-first Mine", "Classes, cmem, cthreads, Mine, Zed"}),
    test::CaseName);

// Without the name rule no units are read at all: a run over files must end
// as well as one over standard input.
TEST(CliOrderTest, PlainOrderChecksFilesOnDisk) {
    const TestFolder folder;
    const fs::path file = folder.Write("p.pas", "program P;\nuses Zed, Classes;\nbegin end.\n");
    const Outcome outcome = RunTool(folder, "--check --plain-order " + Quoted(file));
    EXPECT_EQ(outcome.ExitCode, 1) << outcome.Err;
    EXPECT_NE(outcome.Out.find("Would change: "), std::string::npos) << outcome.Out;
}

// Scope names, declared case and groups each log their changes and count them
// in the summary; the unit's own source beside the file gives its case.
TEST(CliUnitNamesTest, LogsAndCountsEachChange) {
    const TestFolder folder;
    folder.Write("src/Tools.pas", "unit Tools;\ninterface\nimplementation\nend.\n");
    const fs::path file = folder.Write("src/Main.pas", "unit Main;\ninterface\nuses tools, Forms, Windows;\n"
                                                         "implementation\nend.\n");
    const Outcome outcome =
        RunTool(folder, "--add-unit-scopes --unit-case declared --groups vcl " + Quoted(folder / "src"));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(AsText(ReadBytes(file)), "unit Main;\ninterface\nuses\n   Winapi.Windows,\n\n   Vcl.Forms,\n\n"
                                       "   Tools;\nimplementation\nend.\n");
    for (const char* line : {"  [SCOPE] interface uses \u2014 Forms as Vcl.Forms\n",
                             "  [SCOPE] interface uses \u2014 Windows as Winapi.Windows\n",
                             "  [CASE] interface uses \u2014 tools as Tools\n",
                             "[CASE] 1 unit names written in their declared case\n",
                             "[SCOPE] 2 unit scope names added or removed\n"}) {
        EXPECT_NE(outcome.Out.find(line), std::string::npos) << line << outcome.Out;
    }
}

// ---- The options file -------------------------------------------------------

// A checkout "proj" whose source uses DeleteFile, declared by two units of its
// clause that only proj's "lib" folder holds. Above the checkout, in a folder
// that is a work tree's root too, lies an options file it must not use.
class CliOptionsFileTest : public ::testing::Test {
protected:
    static constexpr const char* kHead = "unit U;\ninterface\n";
    static constexpr const char* kTail = "\nimplementation\nprocedure P; begin DeleteFile(1); end;\nend.\n";
    static std::string Source(const std::string& AClause) { return kHead + AClause + kTail; }

    void SetUp() override {
        for (const char* unit : {"Windows", "SysUtils"})
            FRoot.Write(std::string("proj/lib/") + unit + ".pas",
                        std::string("unit ") + unit + ";\ninterface\nfunction DeleteFile(X: Integer): Boolean;\n"
                                                     "implementation\nend.\n");
        FRoot.Write(".git", "");
        FRoot.Write("proj/.git", "");
        FRoot.Write("quorvel.ini", "[Settings]\nVerticalList=0\nWordWrapAt=25\n");
    }
    std::string Quoted(const char* AName) const { return "\"" + (FRoot / AName).string() + "\""; }
    std::string WithRoot(const std::string& AText) const {
        return WithPlaceholder(AText, "{root}", FRoot.Path().string());
    }

    TestFolder FRoot;
    const fs::path FSource = FRoot.Write("proj/src/U.pas", Source("uses Windows, SysUtils, Classes, Alpha, Beta;"));
};

struct OptionsFileCase {
    const char* Name;
    const char* ProjectFile;  // proj/quorvel.ini, at the checkout's root; nullptr: none
    const char* SourceFile;   // proj/src/quorvel.ini, beside the source; nullptr: none
    const char* Arguments;    // {root} stands for the fixture's folder
    const char* Clause;       // the source's clause afterwards
};

constexpr const char* kWrapped20 = "[Settings]\nVerticalList=0\nWordWrapAt=20\nUnitsPath=lib\nKeepFirst=Beta\n";
constexpr const char* kVerticalSorted = "uses\n   Alpha,\n   Beta,\n   Classes,\n   SysUtils,\n   Windows;";

class CliOptionsFileCaseTest : public CliOptionsFileTest, public ::testing::WithParamInterface<OptionsFileCase> {};

TEST_P(CliOptionsFileCaseTest, FormatsWithTheOptionsThatApply) {
    const OptionsFileCase& c = GetParam();
    if (c.ProjectFile) FRoot.Write("proj/quorvel.ini", c.ProjectFile);
    if (c.SourceFile) FRoot.Write("proj/src/quorvel.ini", c.SourceFile);
    const Outcome outcome = RunTool(FRoot, WithRoot(c.Arguments) + " " + Quoted("proj/src"));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(AsText(ReadBytes(FSource)), Source(c.Clause));
}

INSTANTIATE_TEST_SUITE_P(Lookup, CliOptionsFileCaseTest, ::testing::Values(
    OptionsFileCase{"NoneWithinTheCheckout", nullptr, nullptr, "", kVerticalSorted},
    OptionsFileCase{"AtTheCheckoutRootWithRelativeUnitsPath", kWrapped20, nullptr, "",
                    "uses\n   Beta, Alpha,\n   Classes,\n   Windows,\n   SysUtils;"},
    OptionsFileCase{"NearestWinsWhole", kWrapped20, "[Settings]\nVerticalList=1\n", "", kVerticalSorted},
    OptionsFileCase{"CommandLineWidthWins", kWrapped20, nullptr, "--wrap-at 40",
                    "uses\n   Beta, Alpha, Classes, Windows,\n   SysUtils;"},
    OptionsFileCase{"CommandLineListReplacesTheFiles", kWrapped20, nullptr, "--keep-first Classes",
                    "uses\n   Classes, Alpha,\n   Beta, Windows,\n   SysUtils;"},
    OptionsFileCase{"CommandLineWrappedTakesTheFilesWidth", "[Settings]\nVerticalList=1\nWordWrapAt=25\n", nullptr,
                    "--wrapped", "uses\n   Alpha, Beta, Classes,\n   SysUtils, Windows;"},
    OptionsFileCase{"PlainOrderWinsOverTheFile", kWrapped20, nullptr, "--plain-order",
                    "uses\n   Alpha, Beta,\n   Classes,\n   SysUtils,\n   Windows;"},
    OptionsFileCase{"NoConfig", kWrapped20, nullptr, "--no-config", kVerticalSorted},
    OptionsFileCase{"GroupsFromTheFile", "[Settings]\nUnitsPath=lib\nGroups=Windows;Classes\nGroupSeparator=blank-line\n",
                    nullptr, "", "uses\n   Classes,\n   Windows,\n\n   Alpha,\n   Beta,\n   SysUtils;"},
    OptionsFileCase{"CommandLineGroupsReplaceTheFiles", "[Settings]\nGroups=Windows;Classes\n", nullptr,
                    "--groups Alpha --groups Beta --group-separator none",
                    "uses\n   Alpha,\n   Beta,\n   Classes,\n   SysUtils,\n   Windows;"},
    OptionsFileCase{"ConfigNamesTheFileForAll", kWrapped20, nullptr, "--config {root}/quorvel.ini",
                    "uses\n   Alpha, Beta, Classes,\n   SysUtils, Windows;"}),
    test::CaseName);

struct OptionsErrorCase {
    const char* Name;
    const char* ProjectFile;
    const char* Arguments;
    const char* Error;  // the start of standard error; {root} as above, {found} the options file found
};

class CliOptionsErrorTest : public CliOptionsFileTest, public ::testing::WithParamInterface<OptionsErrorCase> {};

TEST_P(CliOptionsErrorTest, StopsTheRunBeforeAnyFile) {
    const OptionsErrorCase& c = GetParam();
    FRoot.Write("proj/quorvel.ini", c.ProjectFile);
    const Outcome outcome = RunTool(FRoot, WithRoot(c.Arguments) + " " + Quoted("proj/src"));
    EXPECT_EQ(outcome.ExitCode, 2);
    EXPECT_EQ(outcome.Out, "");
    const std::string found = WithPlaceholder(c.Error, "{found}", (FRoot / "proj/quorvel.ini").make_preferred().string());
    EXPECT_TRUE(outcome.Err.starts_with(WithRoot(found))) << outcome.Err;
    EXPECT_EQ(AsText(ReadBytes(FSource)), Source("uses Windows, SysUtils, Classes, Alpha, Beta;"));
}

INSTANTIATE_TEST_SUITE_P(Faults, CliOptionsErrorTest, ::testing::Values(
    OptionsErrorCase{"BadValue", "[Settings]\nVerticalList=0\nWordWrapAt=wide\n", "",
                     "Cannot use options file \"{found}\": line 3: key WordWrapAt: \"wide\" is not a "
                     "whole number\n"},
    OptionsErrorCase{"UnknownKeyEvenWhenTheCommandLineSetsIt", "[Settings]\nWrapAt=60\n", "--wrap-at 60",
                     "Cannot use options file \"{found}\": line 2: key WrapAt: not a known key"},
    OptionsErrorCase{"NoGroup", "[Settings]\nGroups=System.*,Sys tem\n", "",
                     "Cannot use options file \"{found}\": line 2: key Groups: \"Sys tem\" is not a unit name pattern"},
    OptionsErrorCase{"NoCase", "[Settings]\nUnitCase=upper\n", "",
                     "Cannot use options file \"{found}\": line 2: key UnitCase: \"upper\" is not one of as-written, "
                     "declared\n"},
    OptionsErrorCase{"AddAndRemoveScopes", "[Settings]\n", "--add-unit-scopes --remove-unit-scopes",
                     "--add-unit-scopes excludes --remove-unit-scopes"},
    OptionsErrorCase{"MissingConfigFile", "[Settings]\n", "--config {root}/none.ini",
                     "Cannot read \"{root}/none.ini\""},
    OptionsErrorCase{"ConfigAndNoConfig", "[Settings]\n", "--config {root}/quorvel.ini --no-config", "--config"}),
    test::CaseName);

TEST_F(CliOptionsFileTest, OneRunFormatsEachFileWithItsOwnOptions) {
    FRoot.Write("proj/quorvel.ini", kWrapped20);
    const auto outside = FRoot.Write("other/U.pas", Source("uses Windows, SysUtils, Classes, Alpha, Beta;"));
    const Outcome outcome = RunTool(FRoot, Quoted("proj/src") + " " + Quoted("other"));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(AsText(ReadBytes(FSource)), Source("uses\n   Beta, Alpha,\n   Classes,\n   Windows,\n   SysUtils;"));
    EXPECT_EQ(AsText(ReadBytes(outside)), Source("uses\n   Alpha, Beta, Classes,\n   SysUtils, Windows;"));
    EXPECT_NE(outcome.Out.find("\nDone: 2 changed, 0 unchanged, 0 errors\n"), std::string::npos) << outcome.Out;
    EXPECT_EQ(outcome.Out.find("=== Starting format"), outcome.Out.rfind("=== Starting format")) << outcome.Out;
}

TEST_F(CliOptionsFileTest, StandardInputTakesTheCurrentFoldersFile) {
    FRoot.Write("proj/quorvel.ini", kWrapped20);
    const Outcome outcome = RunTool(FRoot, "-", ReadBytes(FSource), FRoot / "proj/src");
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(outcome.Out, Source("uses\n   Beta, Alpha,\n   Classes,\n   Windows,\n   SysUtils;"));
}

// ---- "-": one file through standard input and output ---------------------

struct StdinCase {
    const char* Name;
    SourceEncoding Encoding;
    std::u16string Text;
};

class CliStdinTest : public ::testing::TestWithParam<StdinCase> {};

TEST_P(CliStdinTest, WritesTheFormattedBytesInTheSameEncoding) {
    const TestFolder folder;
    const auto encoding = GetParam().Encoding;
    const auto file = [&](const std::u16string& AText) {
        return test::Concat(EncodingMark(encoding), EncodeSourceText(AText, encoding));
    };
    const Outcome outcome = RunTool(folder, "-", file(GetParam().Text));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_EQ(AsBytes(outcome.Out), file(TQuorvel().F_FormatSource(GetParam().Text)));
}

INSTANTIATE_TEST_SUITE_P(Encodings, CliStdinTest, ::testing::Values(
    StdinCase{"Utf16LE", SourceEncoding::Utf16LE, kUnsorted},
    StdinCase{"Utf8", SourceEncoding::Utf8, kUnsorted},
    StdinCase{"UnchangedAnsi", SourceEncoding::Ansi, kSorted}),
    test::CaseName);

TEST(CliStdinErrorTest, IllFormedInputWritesNothingAndFails) {
    const TestFolder folder;
    const Outcome outcome = RunTool(folder, "-", {0xEF, 0xBB, 0xBF, 0xC3, 0x28});
    EXPECT_EQ(outcome.ExitCode, 2);
    EXPECT_EQ(outcome.Out, "");
    EXPECT_EQ(outcome.Err, "Cannot decode \"<stdin>\": ill-formed UTF-8 at byte offset 3\n");
}

}  // namespace
}  // namespace quorvel::files
