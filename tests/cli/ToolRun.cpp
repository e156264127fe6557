#include "ToolRun.h"

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "PathText.h"
#include "Utf8.h"

namespace quorvel::files::test {
namespace {

std::string AsText(const Bytes& ABytes) { return std::string(ABytes.begin(), ABytes.end()); }

// Windows runs the command through cmd.exe, which drops the first and last
// quote of a line that starts with one, and takes it as UTF-16 so that names
// outside the ANSI code page arrive whole.
int RunShell(const std::string& ACommand) {
#ifdef _WIN32
    const std::u16string command = TextFromUtf8("\"" + ACommand + "\"");
    return _wsystem(std::wstring(command.begin(), command.end()).c_str());
#else
    const int status = std::system(ACommand.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

class WorkFolder {
public:
    explicit WorkFolder(const std::filesystem::path& AFolder) {
        if (AFolder.empty()) return;
        FSaved = std::filesystem::current_path();
        std::filesystem::current_path(AFolder);
    }
    ~WorkFolder() {
        std::error_code ignored;
        if (!FSaved.empty()) std::filesystem::current_path(FSaved, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

private:
    std::filesystem::path FSaved;
};

// The tool sees the computer as below ARoot (CompilerSources.h): with an
// empty folder, a computer where no compiler is installed.
void SetSystemRoot(const std::filesystem::path& ARoot) {
#ifdef _WIN32
    _wputenv_s(L"QUORVEL_SYSTEM_ROOT", ARoot.c_str());
#else
    setenv("QUORVEL_SYSTEM_ROOT", ARoot.c_str(), 1);
#endif
}

}  // namespace

ToolOutcome RunTool(const TestFolder& AFolder, const std::string& AArguments, const Bytes& AInput,
                    const std::filesystem::path& AWorkFolder, const std::filesystem::path& ASystemRoot) {
    const auto in = AFolder.Write("io/in", AInput);
    if (ASystemRoot.empty()) std::filesystem::create_directories(AFolder / "io/no-compilers");
    SetSystemRoot(std::filesystem::absolute(ASystemRoot.empty() ? AFolder / "io/no-compilers" : ASystemRoot));
    const auto out = AFolder / "io/out", err = AFolder / "io/err";
    // Absolute before the move: a path from the drive's root would name another drive there.
    const std::filesystem::path tool = std::filesystem::absolute(std::filesystem::path(QUORVEL_CLI_PATH).make_preferred());
    // The test process moves there itself: shells differ in how a command changes folder.
    const WorkFolder work(AWorkFolder);
    const int code = RunShell(Quoted(tool) + " " + AArguments + " < " + Quoted(in) + " > " + Quoted(out) + " 2> " +
                              Quoted(err));
    return {code, AsText(ReadBytes(out)), AsText(ReadBytes(err))};
}

std::string Quoted(const std::filesystem::path& APath) { return "\"" + PathMessageText(APath) + "\""; }

std::string NativeSeparators(std::string AText) {
    for (char& c : AText) {
        if (c == '/') c = static_cast<char>(std::filesystem::path::preferred_separator);
    }
    return AText;
}

}  // namespace quorvel::files::test
