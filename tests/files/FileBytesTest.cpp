#include <gtest/gtest.h>

#include "FileBytes.h"
#include "TestFolder.h"

namespace quorvel::files {
namespace {

using test::PrintTo;

namespace fs = std::filesystem;
using test::AsBytes;
using test::ReadBytes;
using test::TestFolder;

constexpr auto kReadOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;

fs::perms PermissionsOf(const fs::path& APath) { return fs::status(APath).permissions(); }

// Runs AAction and returns the FileError's message, or "" when none came.
template <class Action>
std::string FileErrorOf(Action&& AAction) {
    try {
        AAction();
    } catch (const FileError& error) {
        return error.what();
    }
    return "";
}

class SafeWriteTest : public ::testing::Test {
protected:
    TestFolder FFolder;
    const fs::path FFile = FFolder.Write("Unit1.pas", "the old content, longer than the new");
};

TEST_F(SafeWriteTest, ReplacesTheWholeContentAndLeavesNothingElse) {
    WriteFileBytes(FFile, AsBytes("new"));
    EXPECT_EQ(ReadBytes(FFile), AsBytes("new"));
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

// Windows keeps only a read-only attribute of these bits: WindowsFilesTest covers its attributes.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(AReason) GTEST_SKIP() << AReason
#else
#define SKIP_ON_WINDOWS(AReason) static_cast<void>(0)
#endif

TEST_F(SafeWriteTest, KeepsThePermissionsOfTheFile) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows has only the read-only attribute");
    const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(FFile, permissions);
    WriteFileBytes(FFile, AsBytes("new"));
    EXPECT_EQ(PermissionsOf(FFile), permissions);
}

// Root may write anything; the missing write bits still mark the file read-only.
TEST_F(SafeWriteTest, ReadOnlyFileFailsAndStaysAsItWas) {
    fs::permissions(FFile, kReadOnly);
    const Bytes before = ReadBytes(FFile);
    EXPECT_EQ(FileErrorOf([&] { WriteFileBytes(FFile, AsBytes("new")); }),
              "Cannot write \"" + FFile.string() + "\": the file is read-only");
    EXPECT_EQ(ReadBytes(FFile), before);
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

TEST_F(SafeWriteTest, WritesThroughALinkAndKeepsTheLink) {
    SKIP_ON_WINDOWS("making a link needs a privilege on Windows");
    const fs::path link = FFolder / "Link.pas";
    fs::create_symlink(FFile, link);
    WriteFileBytes(link, AsBytes("new"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(FFile), AsBytes("new"));
}

// ---- failures name the path and leave nothing behind ---------------------

struct PathErrorCase {
    const char* Name;
    bool Write;        // else read
    const char* Path;  // inside the test folder, which holds "Sub/Unit1.pas"; "" alone: the empty path
    const char* Reason;
};

class PathErrorTest : public ::testing::TestWithParam<PathErrorCase> {};

TEST_P(PathErrorTest, FailsNamingThePath) {
    const TestFolder folder;
    folder.Write("Sub/Unit1.pas", "x");
    const PathErrorCase& c = GetParam();
    const fs::path path = *c.Path ? folder / c.Path : fs::path();
    const std::string message = FileErrorOf([&] {
        if (c.Write) WriteFileBytes(path, AsBytes("new"));
        else ReadFileBytes(path);
    });
    EXPECT_EQ(message, std::string(c.Write ? "Cannot write" : "Cannot read") + " \"" + path.string() + "\": " + c.Reason);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Sub", "Sub/Unit1.pas"}));
}

INSTANTIATE_TEST_SUITE_P(Paths, PathErrorTest, ::testing::Values(
    PathErrorCase{"ReadMissingFile", false, "Sub/Unit2.pas", "the file does not exist"},
    PathErrorCase{"ReadMissingFolder", false, "None/Unit1.pas", "its folder does not exist"},
    PathErrorCase{"ReadFolder", false, "Sub", "it is a folder, not a file"},
    PathErrorCase{"ReadNoName", false, "", "no file name given"},
    PathErrorCase{"WriteMissingFolder", true, "None/Unit1.pas", "its folder does not exist"},
    PathErrorCase{"WriteFolder", true, "Sub", "it is a folder"},
    PathErrorCase{"WriteNoName", true, "", "no file name given"}),
    test::CaseName);

// ---- backups -----------------------------------------------------------------

TEST_F(SafeWriteTest, BackupHoldsTheExactBytesAndReplacesAnOlderOne) {
    FFolder.Write("Unit1.pas.bak", "an older backup");
    const Bytes oldBytes = {0xFF, 0xFE, 0x41, 0x00, 0x42};  // even bytes no decoding would give back
    WriteBackupFile(FFile, oldBytes);
    EXPECT_EQ(ReadBytes(BackupPathOf(FFile)), oldBytes);
    EXPECT_EQ(FFolder.Entries(), (std::vector<std::string>{"Unit1.pas", "Unit1.pas.bak"}));
}

TEST_F(SafeWriteTest, NewBackupIsAsPrivateAsItsFile) {
    SKIP_ON_WINDOWS("POSIX permission bits; Windows has only the read-only attribute");
    fs::permissions(FFile, fs::perms::owner_read | fs::perms::owner_write);
    WriteBackupFile(FFile, AsBytes("old"));
    EXPECT_EQ(PermissionsOf(BackupPathOf(FFile)), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(SafeWriteTest, ReadOnlyFileGetsNoBackup) {
    fs::permissions(FFile, kReadOnly);
    EXPECT_NE(FileErrorOf([&] { WriteBackupFile(FFile, AsBytes("old")); }), "");
    EXPECT_EQ(FFolder.Entries(), std::vector<std::string>{"Unit1.pas"});
}

}  // namespace
}  // namespace quorvel::files
