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

std::string WithSource(std::string AText, const std::string& ASource) {
    for (auto at = AText.find("{src}"); at != std::string::npos; at = AText.find("{src}")) AText.replace(at, 5, ASource);
    return AText;
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
