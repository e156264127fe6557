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
#include "SystemAccess.h"
#include "QuorvelVersion.h"
#include "StdinRun.h"
#include "Utf8.h"

namespace {

using quorvel::cli::CliOptions;

const char* const kOptionsFileHelp =
    "Options file: each source is formatted with the options of the file \"quorvel.ini\" in its folder or the "
    "nearest folder above it (standard input: the current folder); the search stops at a folder holding \".git\" "
    "and at the root. Its [Settings] section may set VerticalList (0: wrapped), WordWrapAt, KeepFirstBuiltIn (0/1), "
    "KeepFirst (names, comma-separated), KeepNameResolution (0/1), UnitsPath (folders separated by \";\", "
    "relative ones taken from the file's folder) and UnitScopes (names, comma-separated); AutoUpdate is accepted "
    "and ignored. An option given on the command line replaces the same option of the file, lists included. Any "
    "other key or section, or a value that cannot be read, stops the run with exit code 2 and nothing formatted.";

std::u16string Utf16(const std::string& AText) { return quorvel::files::TextFromUtf8(AText); }

std::vector<std::u16string> NamesOf(const std::vector<std::string>& AArguments) {
    std::vector<std::u16string> names;
    for (const std::string& argument : AArguments) quorvel::cli::AppendNames(Utf16(argument), names);
    return names;
}

// The width is read by the system's one rule for numbers in text.
std::string CheckWidth(const std::string& AText) {
    const auto width = quorvel::ParseIntegerText(Utf16(AText));
    if (!width || *width < 1) return "--wrap-at needs a whole number of at least 1, not \"" + AText + "\"";
    return {};
}

void DefineLayoutOptions(CLI::App& AApp, CliOptions& AOptions) {
    auto& format = AOptions.Format;
    AApp.add_flag_callback("--wrapped", [&] { format.Wrapped = true; },
                           "Word-wrap each uses clause instead of one unit per line");
    AApp.add_option_function<std::string>(
            "--wrap-at",
            [&](const std::string& AWidth) {
                format.Wrapped = true;
                format.WrapAt = *quorvel::ParseIntegerText(Utf16(AWidth));
            },
            "Width for --wrapped (implies it); default 80")
        ->type_name("N")
        ->check(CLI::Validator(CheckWidth, "", "width"));
}

void DefineOrderOptions(CLI::App& AApp, CliOptions& AOptions) {
    auto& format = AOptions.Format;
    AApp.add_option_function<std::vector<std::string>>(
            "--keep-first", [&](const std::vector<std::string>& ANames) { format.KeepFirst = NamesOf(ANames); },
            "Units that stay first in every clause, in their written order, after the built-in list of "
            "memory managers, thread managers and exception tracers (comma-separated; repeatable)")
        ->type_name("NAMES")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    AApp.add_flag_callback("--no-keep-first", [&] { format.KeepFirstBuiltIn = false; },
                           "Do not keep the built-in list of units first");
    AApp.add_flag_callback("--no-keep-names", [&] { format.KeepNameResolution = false; },
                           "Sort even where a name declared by two units of a clause would then resolve to "
                           "the other unit");
    AApp.add_option_function<std::vector<std::string>>(
            "--units-path",
            [&](const std::vector<std::string>& AFolders) {
                format.UnitsPath.emplace(AFolders.begin(), AFolders.end());
            },
            "Folder searched, with its subfolders, for the .pas and .pp sources of the units named in "
            "clauses, beside the folders of the files formatted (repeatable)")
        ->type_name("DIR")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    AApp.add_option_function<std::string>(
            "--unit-scopes", [&](const std::string& ANames) { format.UnitScopes = NamesOf({ANames}); },
            "Unit scope names tried in front of a unit name without one (comma-separated); "
            "default: the usual ones, System, Winapi, Vcl, ...")
        ->type_name("NAMES");
    AApp.add_flag("--plain-order", AOptions.PlainOrder,
                  "Plain alphabetical order: no units kept first, no order kept for names (a clause marked "
                  "\"quorvel: keep order\" is still left as written); wins over the options file");
}

void DefineOptionsFileOptions(CLI::App& AApp, CliOptions& AOptions) {
    auto* config = AApp.add_option_function<std::string>(
                           "--config", [&](const std::string& AFile) { AOptions.ConfigFile = AFile; },
                           "Use this options file for every source instead of looking for quorvel.ini")
                       ->type_name("FILE");
    AApp.add_flag("--no-config", AOptions.NoConfig, "Use no options file")->excludes(config);
}

void DefineOptions(CLI::App& AApp, CliOptions& AOptions) {
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
    DefineLayoutOptions(AApp, AOptions);
    AApp.add_flag("-q,--quiet", AOptions.Quiet, "Print only errors and what --check or --diff find");
    AApp.add_option("-j,--jobs", AOptions.Workers, "Files formatted at once; default: the hardware's threads")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u));
    DefineOrderOptions(AApp, AOptions);
    DefineOptionsFileOptions(AApp, AOptions);
    AApp.set_version_flag("--version", "quorvel-cli " QUORVEL_BUILD_VERSION_TEXT);
    AApp.footer(std::string(kOptionsFileHelp) +
                "\n\nExit codes: 0 done, 1 --check or --diff found files to change, 2 a file failed, an options "
                "file could not be used, or bad usage.");
}

int RunTool(const CliOptions& AOptions) {
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
    DefineOptions(app, options);
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
    return RunTool(options);
}
