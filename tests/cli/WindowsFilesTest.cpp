// What the file layer and the tool must do on Windows itself: long paths,
// replacing a file with its attributes, files other programs hold open, the
// ANSI code page, letter case in paths, the console. Built for Windows only.

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <io.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "BatchRun.h"
#include "Console.h"
#include "FileBytes.h"
#include "FolderListing.h"
#include "PathText.h"
#include "SourceCodec.h"
#include "TestFolder.h"
#include "ToolRun.h"
#include "Utf8.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace {

using test::PrintTo;

namespace fs = std::filesystem;
using test::AsBytes;
using test::Concat;
using test::TestFolder;
using Lines = std::vector<std::u16string>;

const std::u16string kUnsorted = u"unit U;\r\ninterface\r\nuses B, A;\r\nimplementation\r\nend.\r\n";
const Bytes kUnsortedFile = AsBytes(Utf8FromText(kUnsorted));  // ASCII: the same bytes in every encoding
const Bytes kSortedFile = AsBytes(Utf8FromText(TQuorvel().F_FormatSource(kUnsorted)));

Lines RunLog(const std::vector<fs::path>& AFiles, BatchOptions AOptions = {.Backup = true}) {
    Lines log;
    BatchCallbacks callbacks;
    callbacks.Log = [&](const std::u16string& ALine) { log.push_back(ALine); };
    RunBatch(AFiles, FormatSetup{}, AOptions, callbacks);
    return log;
}

// Reads through the long-path form, so that the check itself has no length limit.
Bytes ReadBytes(const fs::path& APath) { return test::ReadBytes(platform::SystemPath(APath)); }

DWORD AttributesOf(const fs::path& APath) { return ::GetFileAttributesW(platform::SystemPath(APath).c_str()); }

// A handle on a file such as an editor or a virus scanner keeps.
class OtherProgramsHandle {
public:
    OtherProgramsHandle(const fs::path& APath, DWORD AShare)
        : FHandle(::CreateFileW(APath.c_str(), GENERIC_READ, AShare, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~OtherProgramsHandle() { ::CloseHandle(FHandle); }
    bool IsOpen() const { return FHandle != INVALID_HANDLE_VALUE; }

private:
    HANDLE FHandle;
};

// ---- replacing a file ---------------------------------------------------------

constexpr DWORD kNotHeld = ~DWORD{0};

struct ReplaceCase {
    const char* Name;
    DWORD Attributes;  // set on the file before the run; 0: none
    DWORD HeldSharing;  // another handle's sharing mode, or kNotHeld
    const char16_t* Failure;  // how its "  [!!] " line ends; nullptr: the file is rewritten
};

class WindowsReplaceTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(WindowsReplaceTest, RewritesInOneStepOrLeavesTheFileAsItWas) {
    const ReplaceCase& c = GetParam();
    const TestFolder folder;
    const fs::path file = folder.Write("Unit1.pas", kUnsortedFile);
    if (c.Attributes != 0) {
        ASSERT_TRUE(::SetFileAttributesW(file.c_str(), c.Attributes));
    }
    Lines log;
    {
        std::optional<OtherProgramsHandle> holder;
        if (c.HeldSharing != kNotHeld) {
            ASSERT_TRUE(holder.emplace(file, c.HeldSharing).IsOpen());
        }
        log = RunLog({file});
    }
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);  // lets the check and the clean-up read and delete
    if (!c.Failure) {
        EXPECT_EQ(log[2], u"  [OK] Unit1.pas");
        EXPECT_EQ(ReadBytes(file), kSortedFile);
        EXPECT_EQ(ReadBytes(BackupPathOf(file)), kUnsortedFile);
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Unit1.pas", "Unit1.pas.bak"}));
        return;
    }
    EXPECT_TRUE(log[2].starts_with(u"  [!!] Unit1.pas: ") && log[2].ends_with(c.Failure)) << Utf8FromText(log[2]);
    EXPECT_EQ(ReadBytes(file), kUnsortedFile);
    // A refusal known only when the file is replaced comes after its backup, which holds the same bytes.
    std::vector<std::string> entries = folder.Entries();
    if (entries.size() == 2 && entries[1] == "Unit1.pas.bak") {
        EXPECT_EQ(ReadBytes(BackupPathOf(file)), kUnsortedFile);
        entries.pop_back();
    }
    EXPECT_EQ(entries, std::vector<std::string>{"Unit1.pas"});
}

TEST(WindowsReplaceAttributesTest, TheReplacedFileKeepsItsAttributes) {
    const TestFolder folder;
    const fs::path file = folder.Write("Unit1.pas", kUnsortedFile);
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), kKept | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(RunLog({file})[2], u"  [OK] Unit1.pas");
    EXPECT_EQ(AttributesOf(file) & kKept, kKept);
    EXPECT_EQ(ReadBytes(file), kSortedFile);
}

constexpr const char16_t* kHeldOpen = u": another program holds the file open; close it there and try again";

INSTANTIATE_TEST_SUITE_P(Cases, WindowsReplaceTest, ::testing::Values(
    ReplaceCase{"Plain", 0, kNotHeld, nullptr},
    ReplaceCase{"ReadOnly", FILE_ATTRIBUTE_READONLY, kNotHeld, u"Unit1.pas\": the file is read-only"},
    ReplaceCase{"HeldOpenSharingNothing", 0, 0, kHeldOpen},
    ReplaceCase{"HeldOpenSharingReading", 0, FILE_SHARE_READ, kHeldOpen},
    ReplaceCase{"HeldOpenSharingAllButDeleting", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, kHeldOpen}),
    test::CaseName);

// ---- paths longer than MAX_PATH ----------------------------------------------

TEST(WindowsLongPathTest, ListedReadAndRewrittenWithBackup) {
    const TestFolder folder;
    fs::path deep = folder.Path();
    while (deep.native().size() < 2 * MAX_PATH) {
        deep /= test::Utf8Path(std::string(60, 'd') + "\xC3\xA9");  // "é": names are UTF-16
        ASSERT_TRUE(::CreateDirectoryW(platform::SystemPath(deep).c_str(), nullptr)) << ::GetLastError();
    }
    const fs::path file = deep / "Unit1.pas";
    WriteFileBytes(file, kUnsortedFile);

    EXPECT_EQ(ListSourceFiles(folder.Path(), true), std::vector<fs::path>{file});
    EXPECT_EQ(RunLog({file})[2], u"  [OK] Unit1.pas");
    EXPECT_EQ(ReadFileBytes(file), kSortedFile);
    EXPECT_EQ(ReadFileBytes(BackupPathOf(file)), kUnsortedFile);
    std::vector<std::wstring> entries;
    for (const auto& entry : platform::ReadFolder(deep)) entries.push_back(entry.Name);
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"Unit1.pas", L"Unit1.pas.bak"})) << "no temporary file is left";
}

TEST(WindowsLongPathTest, OnlyLongPathsTakeTheLongForm) {
    EXPECT_EQ(platform::SystemPath(L"src\\Unit1.pas"), fs::path(L"src\\Unit1.pas"));
    const std::wstring name(300, L'n');
    EXPECT_EQ(platform::SystemPath(L"C:\\x\\..\\" + name).native(), L"\\\\?\\C:\\" + name);
    EXPECT_EQ(platform::SystemPath(L"\\\\server\\share\\" + name).native(), L"\\\\?\\UNC\\server\\share\\" + name);
    EXPECT_EQ(platform::SystemPath(L"\\\\?\\C:\\" + name).native(), L"\\\\?\\C:\\" + name);
}

// ---- the ANSI code page --------------------------------------------------------

Bytes AllBytes() {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
    return all;
}

TEST(WindowsAnsiTest, FilesWithoutAMarkUseTheCodePageGetAcpNames) {
    const Bytes all = AllBytes();
    std::wstring expected(256, L'\0');
    expected.resize(::MultiByteToWideChar(::GetACP(), 0, reinterpret_cast<const char*>(all.data()), 256,
                                          expected.data(), 256));
    EXPECT_EQ(DecodeSourceText(all, SourceEncoding::Ansi, 0), std::u16string(expected.begin(), expected.end()))
        << "code page " << ::GetACP();
}

// The lossless rule holds for any code page. Where ASCII bytes stand for
// themselves, the bytes outside the rewritten clause stay exactly as read,
// whatever the code page makes of them; in a double-byte code page the whole
// file is rewritten, so all of its bytes must come back from its text.
TEST(WindowsAnsiTest, BytesOutsideTheClauseStayAsRead) {
    const TestFolder folder;
    Bytes high = AllBytes();
    high.erase(high.begin(), high.begin() + 0x80);
    const Bytes content = Concat(Concat(AsBytes("{"), high), Concat(AsBytes("}\r\n"), kUnsortedFile));
    const fs::path file = folder.Write("Unit1.pas", content);
    const Bytes again = EncodeSourceText(DecodeSourceText(content, SourceEncoding::Ansi, 0), SourceEncoding::Ansi);
    const bool comesBack = again == content;

    const std::u16string line = RunLog({file}, {})[2];

    SCOPED_TRACE("code page " + std::to_string(::GetACP()));
    if (platform::SystemAnsiKeepsAsciiBytes() || comesBack) {
        EXPECT_EQ(line, u"  [OK] Unit1.pas");
        EXPECT_EQ(ReadBytes(file), Concat(Concat(AsBytes("{"), high), Concat(AsBytes("}\r\n"), kSortedFile)));
    } else {
        EXPECT_TRUE(line.find(u"\" without loss: its ANSI bytes do not come back from its text") != std::u16string::npos)
            << Utf8FromText(line);
        EXPECT_EQ(ReadBytes(file), content);
    }
}

TEST(WindowsAnsiTest, AClauseIsRewrittenOnlyWhenItsBytesComeBack) {
    const TestFolder folder;
    Bytes high = AllBytes();
    high.erase(high.begin(), high.begin() + 0x80);
    high.erase(std::remove(high.begin(), high.end(), std::uint8_t{'}'}), high.end());
    const Bytes content = Concat(Concat(AsBytes("program P;\r\nuses {"), high), AsBytes("} B, A;\r\n"));
    const fs::path file = folder.Write("Unit1.pas", content);
    const Bytes clause(content.begin() + 12, content.end());
    const Bytes again = EncodeSourceText(DecodeSourceText(clause, SourceEncoding::Ansi, 0), SourceEncoding::Ansi);

    const std::u16string line = RunLog({file}, {})[2];

    SCOPED_TRACE("code page " + std::to_string(::GetACP()));
    const auto [differs, _] = std::mismatch(clause.begin(), clause.end(), again.begin(), again.end());
    if (differs == clause.end() && again.size() == clause.size()) {
        EXPECT_EQ(line, u"  [OK] Unit1.pas");
    } else {
        const std::string offset = std::to_string(12 + (differs - clause.begin()));
        EXPECT_TRUE(line.ends_with(u"\" without loss: its ANSI bytes do not come back from its text (first difference at "
                                   u"byte offset " + TextFromUtf8(offset) + u")")) << Utf8FromText(line);
        EXPECT_EQ(ReadBytes(file), content);
    }
}

// ---- letter case ---------------------------------------------------------------

struct SamePathCase {
    const char* Name;
    const wchar_t* Left;
    const wchar_t* Right;
    bool Same;
};

class WindowsPathIdentityTest : public ::testing::TestWithParam<SamePathCase> {};

TEST_P(WindowsPathIdentityTest, CaseAndSeparatorsDoNotCount) {
    const SamePathCase& c = GetParam();
    EXPECT_EQ(platform::PathIdentity(c.Left) == platform::PathIdentity(c.Right), c.Same);
}

INSTANTIATE_TEST_SUITE_P(Pairs, WindowsPathIdentityTest, ::testing::Values(
    SamePathCase{"AsciiCase", L"src\\Unit1.pas", L"SRC\\UNIT1.PAS", true},
    SamePathCase{"Separators", L"src/sub\\a.pas", L"src\\sub/a.pas", true},
    SamePathCase{"DotSteps", L"src\\.\\sub\\..\\a.pas", L"src\\a.pas", true},
    SamePathCase{"AccentedCase", L"\u00e9t\u00e9.pas", L"\u00c9T\u00c9.pas", true},
    SamePathCase{"OtherName", L"src\\a.pas", L"src\\b.pas", false}),
    test::CaseName);

TEST(WindowsToolTest, APathInOtherLetterCaseIsFormattedOnce) {
    const TestFolder folder;
    folder.Write("src/Dirty.pas", kUnsortedFile);
    const auto outcome =
        test::RunTool(folder, test::Quoted(folder / "src") + " " + test::Quoted(folder / "SRC/dIRTY.pAS"));
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_NE(outcome.Out.find("  [OK] Dirty.pas\n\nDone: 1 changed, 0 unchanged, 0 errors\n"), std::string::npos)
        << outcome.Out;
}

// ---- the console ------------------------------------------------------------------

// A console shows text as UTF-16 whatever its code page: letters outside the
// ANSI code page ("ā", "Ж") arrive as they are.
TEST(WindowsConsoleTest, ShowsLettersOutsideTheCodePage) {
    ::FreeConsole();
    if (!::AllocConsole()) GTEST_SKIP() << "no console can be made here (error " << ::GetLastError() << ")";
    std::FILE* const console = _wfopen(L"CONOUT$", L"w");
    ASSERT_NE(console, nullptr);
    ::SetConsoleOutputCP(1252);  // a code page without these letters, where the console lets it be set
    cli::WriteLine(console, u"\u00e9\u00fc\u0101\u0416");
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(console)));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!::GetConsoleScreenBufferInfo(handle, &info)) {
        std::fclose(console);
        ::FreeConsole();
        GTEST_SKIP() << "this console keeps no screen buffer to read back (Wine without a display)";
    }
    std::wstring shown(4, L' ');
    DWORD read = 0;
    const COORD lineAbove{0, static_cast<SHORT>(info.dwCursorPosition.Y - 1)};
    ::ReadConsoleOutputCharacterW(handle, shown.data(), 4, lineAbove, &read);
    std::fclose(console);
    ::FreeConsole();
    EXPECT_EQ(shown, L"\u00e9\u00fc\u0101\u0416");
}

// ---- the registry ------------------------------------------------------------------

// A Delphi that exists only as its registry entry and a source tree: the
// tool finds it with no option given, keeps `Windows, SysUtils` as written
// (DeleteFile resolves to SysUtils's) and names the tree once in the log.
TEST(WindowsRegistryTest, FindsDelphiSourcesThroughTheRegistry) {
    const TestFolder folder;
    folder.Write("Delphi/source/rtl/win/Winapi.Windows.pas",
                 "unit Winapi.Windows;\ninterface\nfunction DeleteFile(F: PChar): LongBool;\nimplementation\nend.\n");
    folder.Write("Delphi/source/rtl/sys/System.SysUtils.pas",
                 "unit System.SysUtils;\ninterface\nfunction DeleteFile(const F: string): Boolean;\nimplementation\nend.\n");
    const fs::path program = folder.Write("app/p.dpr", "program p;\nuses Windows, SysUtils;\nbegin\n  DeleteFile('x');\nend.\n");
    constexpr const wchar_t* kKey = L"Software\\Embarcadero\\BDS\\23.0";
    const std::wstring root = (folder / "Delphi").wstring();
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"RootDir", REG_SZ, root.c_str(),
                                static_cast<DWORD>((root.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    const test::ToolOutcome outcome = test::RunTool(folder, "--check " + test::Quoted(program));
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);

    EXPECT_NE(outcome.Out.find("Units from: Delphi 12 sources (" + PathMessageText(folder / "Delphi" / "source") + ")"),
              std::string::npos) << outcome.Out;
    EXPECT_NE(outcome.Out.find("[KEEP] uses — Windows stays before SysUtils (DeleteFile)"), std::string::npos)
        << outcome.Out;
    EXPECT_EQ(outcome.Out.find("No source found"), std::string::npos) << outcome.Out;
}

}  // namespace
}  // namespace quorvel::files
