// quorvel-cli: the batch run for terminals, CI and pre-commit hooks. Parses
// the command line and hands over to the run; the run owns the exit code.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "Arguments.h"
#include "CliOptions.h"
#include "Console.h"
#include "IntegerText.h"
#include "PathsRun.h"
#include "platform/Platform.h"
#include "QuorvelVersion.h"
#include "StdinRun.h"

namespace {

using quorvel::cli::CliOptions;

// The width is read by the system's one rule for numbers in text.
std::string CheckWidth(const std::string& AText) {
    const std::u16string text(AText.begin(), AText.end());
    const auto width = quorvel::ParseIntegerText(text);
    if (!width || *width < 1) return "--wrap-at needs a whole number of at least 1, not \"" + AText + "\"";
    return {};
}

void DefineOrderOptions(CLI::App& AApp, CliOptions& AOptions) {
    AApp.add_option("--keep-first", AOptions.KeepFirst,
                    "Units that stay first in every clause, in their written order, after the built-in list of "
                    "memory managers, thread managers and exception tracers (comma-separated; repeatable)")
        ->type_name("NAMES")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    AApp.add_flag_callback("--no-keep-first", [&] { AOptions.KeepFirstBuiltIn = false; },
                           "Do not keep the built-in list of units first");
    AApp.add_flag_callback("--no-keep-names", [&] { AOptions.KeepNameResolution = false; },
                           "Sort even where a name declared by two units of a clause would then resolve to "
                           "the other unit");
    AApp.add_option("--units-path", AOptions.UnitsPath,
                    "Folder searched, with its subfolders, for the .pas and .pp sources of the units named in "
                    "clauses, beside the folders of the files formatted (repeatable)")
        ->type_name("DIR")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    AApp.add_option_function<std::string>(
            "--unit-scopes", [&](const std::string& ANames) { AOptions.UnitScopes = ANames; },
                    "Unit scope names tried in front of a unit name without one (comma-separated); "
                    "default: the usual ones, System, Winapi, Vcl, ...")
        ->type_name("NAMES");
    AApp.add_flag("--plain-order", AOptions.PlainOrder,
                  "Plain alphabetical order: no units kept first, no order kept for names (a clause marked "
                  "\"quorvel: keep order\" is still left as written)");
}

void DefineOptions(CLI::App& AApp, CliOptions& AOptions, std::string& AWidth) {
    AApp.option_defaults()->always_capture_default(false);
    AApp.add_option("PATH", AOptions.Paths,
                    "Source files and folders to format; folders give their .pas, .dpr and .dpk files. "
                    "\"-\" alone: read one file from standard input, write it formatted to standard output")
        ->required();
    AApp.add_flag_callback("--no-recursive", [&] { AOptions.Recursive = false; },
                           "List only the files directly in each folder");
    AApp.add_flag("--backup", AOptions.Backup, "Keep the old content of each rewritten file in <file>.bak");
    AApp.add_flag("--check", AOptions.Check, "Write nothing; exit with 1 when a file would change, naming it");
    AApp.add_flag("--diff", AOptions.Diff, "Write nothing; print a unified diff of what would change");
    AApp.add_flag("--wrapped", AOptions.Wrapped, "Word-wrap each uses clause instead of one unit per line");
    AApp.add_option("--wrap-at", AWidth, "Width for --wrapped (implies it); default 80")
        ->type_name("N")
        ->check(CLI::Validator(CheckWidth, "", "width"));
    AApp.add_flag("-q,--quiet", AOptions.Quiet, "Print only errors and what --check or --diff find");
    AApp.add_option("-j,--jobs", AOptions.Workers, "Files formatted at once; default: the hardware's threads")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u));
    DefineOrderOptions(AApp, AOptions);
    AApp.set_version_flag("--version", "quorvel-cli " QUORVEL_BUILD_VERSION_TEXT);
    AApp.footer("Exit codes: 0 done, 1 --check or --diff found files to change, 2 a file failed or bad usage.");
}

int RunTool(CliOptions& AOptions, const std::string& AWidth) {
    if (!AWidth.empty()) {
        AOptions.Wrapped = true;
        AOptions.WrapAt = *quorvel::ParseIntegerText(std::u16string(AWidth.begin(), AWidth.end()));
    }
    const bool fromStandardInput = AOptions.Paths.size() == 1 && AOptions.Paths.front() == "-";
    const int code = fromStandardInput ? quorvel::cli::RunOnStandardInput(AOptions)
                                       : quorvel::cli::RunOnPaths(AOptions);
    if (std::fflush(stdout) != 0) {
        std::fputs("Cannot write to standard output\n", stderr);
        return quorvel::cli::kExitFailed;
    }
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    quorvel::cli::PrepareStandardStreams();
    quorvel::files::platform::KeepFreedMemoryForReuse();
    CLI::App app{"Sorts and lays out the uses clauses of Delphi / Object Pascal sources.", "quorvel-cli"};
    CliOptions options;
    options.Workers = std::max(1u, std::thread::hardware_concurrency());
    std::string width;
    DefineOptions(app, options, width);
    try {
        std::vector<std::string> arguments = quorvel::cli::Utf8Arguments(argc, argv);
        std::vector<char*> pointers;
        for (std::string& argument : arguments) pointers.push_back(argument.data());
        app.parse(static_cast<int>(pointers.size()), pointers.data());
        const auto& paths = options.Paths;
        if (paths.size() > 1 && std::find(paths.begin(), paths.end(), "-") != paths.end()) {
            throw CLI::ValidationError("PATH", "\"-\" (standard input) must be the only path");
        }
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? quorvel::cli::kExitDone : quorvel::cli::kExitFailed;
    }
    return RunTool(options, width);
}
