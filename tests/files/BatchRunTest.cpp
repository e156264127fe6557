#include <gtest/gtest.h>

#include <variant>

#include <chrono>

#include "BatchRun.h"
#include "FileError.h"
#include "PathText.h"
#include "SourceCodec.h"
#include "TestFolder.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

using test::PrintTo;

namespace fs = std::filesystem;
using test::AsBytes;
using test::Concat;
using test::ReadBytes;
using test::TestFolder;
using Lines = std::vector<std::u16string>;

// Texts for the engine: one it rewrites, one it leaves (its own output), one it skips.
const std::u16string kUnsorted = u"unit U;\r\ninterface\r\nuses B, A;\r\nimplementation\r\nend.\r\n";
const std::u16string kSorted = TQuorvel().F_FormatSource(kUnsorted);
const std::u16string kWithDirective =
    u"unit D;\r\ninterface\r\nuses B, {$IFDEF X} C, {$ENDIF} A;\r\nimplementation\r\nuses D, C;\r\nend.\r\n";

Bytes FileOf(const std::u16string& AText, SourceEncoding AEncoding) {
    return Concat(EncodingMark(AEncoding), EncodeSourceText(AText, AEncoding));
}
Bytes AnsiFile(const std::u16string& AText) { return FileOf(AText, SourceEncoding::Ansi); }

std::u16string Quoted(const fs::path& APath) { return u"\"" + PathDisplayText(APath) + u"\""; }

struct RunRecord {
    Lines Log;
    std::vector<std::pair<std::size_t, std::size_t>> Progress;
    BatchSummary Summary;
};

RunRecord RunOver(const std::vector<fs::path>& AFiles, BatchOptions AOptions = {}) {
    RunRecord run;
    BatchCallbacks callbacks;
    callbacks.Log = [&](const std::u16string& ALine) { run.Log.push_back(ALine); };
    callbacks.Progress = [&](std::size_t ADone, std::size_t ATotal) { run.Progress.emplace_back(ADone, ATotal); };
    callbacks.Now = [] { return u"01.02.2024 03:04:05"; };
    FormatSetup setup;
    setup.Options.KeepNameResolution = false;  // no unit lookup, no line counting units without source: see UnitCatalogTest
    run.Summary = RunBatch(AFiles, setup, AOptions, callbacks);
    return run;
}

class BatchRunTest : public ::testing::Test {
protected:
    TestFolder FFolder;
};

TEST_F(BatchRunTest, LogsEveryFileInOrderBetweenHeaderAndSummary) {
    ASSERT_NE(kSorted, kUnsorted) << "the engine must rewrite the sample";
    const auto changed = FFolder.Write("changed.pas", AnsiFile(kUnsorted));
    const auto same = FFolder.Write("sub/same.pas", AnsiFile(kSorted));
    const auto missing = FFolder / "missing.pas";
    const auto illFormed = FFolder.Write("bad.pas", Bytes{0xEF, 0xBB, 0xBF, 0xC3, 0x28});

    const RunRecord run = RunOver({changed, same, missing, illFormed});

    EXPECT_EQ(run.Log, (Lines{
        u"",
        u"=== Starting format: 01.02.2024 03:04:05 ===",
        u"  [OK] changed.pas",
        u"  [=] same.pas",
        u"  [!!] missing.pas: Cannot read " + Quoted(missing) + u": the file does not exist",
        u"  [!!] bad.pas: Cannot decode " + Quoted(illFormed) + u": ill-formed UTF-8 at byte offset 3",
        u"",
        u"Done: 1 changed, 1 unchanged, 2 errors",
        u"=== End ===",
    }));
    EXPECT_EQ(run.Summary.Changed, 1);
    EXPECT_EQ(run.Summary.Unchanged, 1);
    EXPECT_EQ(run.Summary.Errors, 2);
    EXPECT_EQ(run.Progress, (std::vector<std::pair<std::size_t, std::size_t>>{{1, 4}, {2, 4}, {3, 4}, {4, 4}}));
    EXPECT_EQ(ReadBytes(changed), AnsiFile(kSorted));
    EXPECT_EQ(ReadBytes(illFormed), (Bytes{0xEF, 0xBB, 0xBF, 0xC3, 0x28}));
}

// A units path folder that does not exist fails the whole run, naming it,
// before any file is touched: for a setup the files use and for one they
// do not. The units of setups are read ahead; the failure must still come.
TEST_F(BatchRunTest, MissingUnitsFolderFailsTheRunNamingIt) {
    const auto file = FFolder.Write("changed.pas", AnsiFile(kUnsorted));
    FormatSetup plain;
    plain.Options.KeepNameResolution = false;
    FormatSetup searching;
    searching.UnitsPath = {FFolder / "no-such-folder"};
    for (const std::vector<std::size_t>& setupOfFile : {std::vector<std::size_t>{0}, std::vector<std::size_t>{1}}) {
        SCOPED_TRACE(setupOfFile.front());
        try {
            RunBatch({file}, {plain, searching}, setupOfFile, {}, {});
            ADD_FAILURE() << "the run went on";
        } catch (const FileError& error) {
            EXPECT_NE(std::string(error.what()).find("no-such-folder"), std::string::npos) << error.what();
        }
        EXPECT_EQ(ReadBytes(file), AnsiFile(kUnsorted));
    }
}

TEST_F(BatchRunTest, NameIsWhatFollowsTheLastSlashBackslashOrColon) {
#ifdef _WIN32
    GTEST_SKIP() << "on Windows \\ separates folders and : names a stream, so no file has this name";
#endif
    const auto odd = FFolder.Write("x\\y:z.pas", AnsiFile(kSorted));
    EXPECT_EQ(RunOver({odd}).Log[2], u"  [=] z.pas");
}

TEST_F(BatchRunTest, SkipMessagesStandBeforeTheirFilesLine) {
    const auto first = FFolder.Write("first.pas", AnsiFile(kSorted));
    const auto skipped = FFolder.Write("skipped.pas", AnsiFile(kWithDirective));

    const RunRecord run = RunOver({first, skipped});

    EXPECT_EQ(Lines(run.Log.begin() + 2, run.Log.end() - 3), (Lines{
        u"  [=] first.pas",
        u"  [SKIP] interface uses \u2014 contains compiler directives",
        u"  [OK] skipped.pas",
    }));
    EXPECT_EQ(ReadBytes(skipped), AnsiFile(u"unit D;\r\ninterface\r\nuses B, {$IFDEF X} C, {$ENDIF} A;\r\n"
                                          u"implementation\r\nuses\r\n   C,\r\n   D;\r\nend.\r\n"));
}

// The events carry what the lines say, typed: a failure is known by its
// outcome, a note by its kind and section, never by the text of a line.
TEST_F(BatchRunTest, EventsCarryOutcomesAndNotesTyped) {
    const auto skipped = FFolder.Write("skipped.pas", AnsiFile(kWithDirective));
    const auto missing = FFolder.Path() / "missing.pas";
    struct Seen {
        FileOutcome Outcome;
        std::vector<TClauseNote> Notes;
    };
    std::vector<Seen> files;
    int started = 0;
    BatchSummary ended;
    Lines rewritten;
    BatchCallbacks callbacks;
    callbacks.Event = [&](const RunEvent& AEvent) {
        WriteRunLog(AEvent, [&](const std::u16string& ALine) { rewritten.push_back(ALine); });
        if (std::holds_alternative<RunStarted>(AEvent)) ++started;
        if (const auto* file = std::get_if<FileReported>(&AEvent)) files.push_back({file->Result->Outcome, file->Result->Notes});
        if (const auto* end = std::get_if<RunEnded>(&AEvent)) ended = end->Summary;
    };
    Lines log;
    callbacks.Log = [&](const std::u16string& ALine) { log.push_back(ALine); };
    FormatSetup setup;
    setup.Options.KeepNameResolution = false;

    RunBatch({skipped, missing}, setup, {}, callbacks);

    EXPECT_EQ(started, 1);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].Outcome, FileOutcome::Changed);
    ASSERT_EQ(files[0].Notes.size(), 1u);
    EXPECT_EQ(files[0].Notes[0].Kind, TClauseNoteKind::Skip);
    EXPECT_EQ(files[0].Notes[0].Section, u"interface uses");
    EXPECT_EQ(files[0].Notes[0].Text, u"contains compiler directives");
    EXPECT_EQ(files[1].Outcome, FileOutcome::Failed);
    EXPECT_EQ(ended.Changed, 1);
    EXPECT_EQ(ended.Errors, 1);
    EXPECT_EQ(rewritten, log) << "one writer makes the lines from the events";
}

// ---- what is written -----------------------------------------------------------

}  // namespace

void PrintTo(SourceEncoding AEncoding, std::ostream* AOut) { *AOut << EncodingName(AEncoding); }

namespace {

class RewriteTest : public ::testing::TestWithParam<SourceEncoding> {};

TEST_P(RewriteTest, KeepsEncodingAndMarkAndBacksUpTheExactBytes) {
    const TestFolder folder;
    const Bytes before = FileOf(kUnsorted, GetParam());
    const auto file = folder.Write("Unit1.pas", before);
    folder.Write("Unit1.pas.bak", "an older backup");

    EXPECT_EQ(RunOver({file}).Summary.Changed, 1);
    EXPECT_EQ(ReadBytes(file), FileOf(kSorted, GetParam()));
    EXPECT_EQ(ReadBytes(BackupPathOf(file)), before);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Unit1.pas", "Unit1.pas.bak"}));
}

INSTANTIATE_TEST_SUITE_P(Encodings, RewriteTest,
                         ::testing::Values(SourceEncoding::Utf8, SourceEncoding::Utf16LE, SourceEncoding::Utf16BE,
                                           SourceEncoding::Ansi),
                         [](const auto& AInfo) {
                             const std::string_view name = EncodingName(AInfo.param);
                             std::string id;
                             for (char c : name) if (std::isalnum(static_cast<unsigned char>(c))) id += c;
                             return id;
                         });

TEST_F(BatchRunTest, WithoutBackupsNoBackupIsWritten) {
    const auto file = FFolder.Write("Unit1.pas", AnsiFile(kUnsorted));
    RunOver({file}, {.Backup = false});
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

TEST_F(BatchRunTest, UnchangedFileIsNotTouched) {
    const auto file = FFolder.Write("Unit1.pas", AnsiFile(kSorted));
    const auto longAgo = fs::last_write_time(file) - std::chrono::hours(24 * 365);
    fs::last_write_time(file, longAgo);
    RunOver({file});
    EXPECT_EQ(fs::last_write_time(file), longAgo);
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

TEST_F(BatchRunTest, ReportingOnlyWritesNothing) {
    const auto file = FFolder.Write("Unit1.pas", AnsiFile(kUnsorted));
    const RunRecord run = RunOver({file}, {.WriteChanges = false});
    EXPECT_EQ(run.Log[2], u"  [OK] Unit1.pas");
    EXPECT_EQ(ReadBytes(file), AnsiFile(kUnsorted));
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

// ---- a changed file that must not be written stays as it was ---------------

struct RefusalCase {
    const char* Name;
    Bytes Content;
    bool ReadOnlyFile;
    bool ReadOnlyBackup;
    std::u16string Message;  // after "Cannot ... <path>"
};

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTest, LogsTheReasonAndLeavesTheFile) {
    const RefusalCase& c = GetParam();
    const TestFolder folder;
    const auto file = folder.Write("Unit1.pas", c.Content);
    const auto backup = folder.Write("Unit1.pas.bak", "old backup");
    const auto readOnly = fs::perms::owner_read | fs::perms::group_read;
    if (c.ReadOnlyFile) fs::permissions(file, readOnly);
    if (c.ReadOnlyBackup) fs::permissions(backup, readOnly);

    const RunRecord run = RunOver({file});

    EXPECT_EQ(run.Summary.Errors, 1);
    const std::u16string line = run.Log[2];
    EXPECT_TRUE(line.starts_with(u"  [!!] Unit1.pas: ")) << Utf8FromText(line);
    EXPECT_TRUE(line.ends_with(c.Message)) << Utf8FromText(line);
    EXPECT_EQ(ReadBytes(file), c.Content);
    EXPECT_EQ(ReadBytes(backup), AsBytes("old backup"));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Unit1.pas", "Unit1.pas.bak"}));
}

INSTANTIATE_TEST_SUITE_P(Reasons, RefusalTest, ::testing::Values(
    RefusalCase{"Utf16OddByte", Concat(FileOf(kUnsorted, SourceEncoding::Utf16LE), {0x42}), false, false,
                u" without loss: its UTF-16 text ends in a lone byte"},
    RefusalCase{"ReadOnlyFile", AnsiFile(kUnsorted), true, false, u"Unit1.pas\": the file is read-only"},
    RefusalCase{"ReadOnlyBackup", AnsiFile(kUnsorted), false, true, u"Unit1.pas.bak\": the file is read-only"}),
    test::CaseName);

// ---- several workers ----------------------------------------------------------

TEST_F(BatchRunTest, SeveralWorkersLogAndWriteLikeOne) {
    std::vector<fs::path> files;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "u" + std::to_string(i) + ".pas";
        const Bytes content = i % 5 == 0 ? Bytes{0xFF, 0xFE, 0x41} : AnsiFile(i % 3 == 0 ? kWithDirective
                                                                    : i % 2 == 0 ? kUnsorted : kSorted);
        files.push_back(i % 7 == 0 ? FFolder / name : FFolder.Write(name, content));
    }
    const RunRecord one = RunOver(files, {.WriteChanges = false, .Workers = 1});
    const RunRecord four = RunOver(files, {.WriteChanges = false, .Workers = 4});
    EXPECT_EQ(four.Log, one.Log);
    EXPECT_EQ(four.Progress, one.Progress);

    RunOver(files, {.Backup = false, .Workers = 4});
    EXPECT_EQ(RunOver(files, {.WriteChanges = false, .Workers = 4}).Summary.Changed, 0);
}

}  // namespace
}  // namespace quorvel::files
