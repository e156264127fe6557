// quorvel-cli: the batch run for terminals, CI and pre-commit hooks. Parses
// the command line and hands over to the run; the run owns the exit code.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Arguments.h"
#include "CliOptions.h"
#include "Console.h"
#include "MemoryTuning.h"
#include "OptionTable.h"
#include "PathsRun.h"
#include "QuorvelVersion.h"
#include "StdinRun.h"
#include "Utf8.h"

namespace {

using quorvel::cli::CliOptions;

namespace files = quorvel::files;

std::u16string Utf16(const std::string& AText) { return files::TextFromUtf8(AText); }

// What a key of the options file takes, for the help text.
std::string KeyHelp(const files::OptionRow& ARow) {
    std::string text = files::Utf8FromText(ARow.Key);
    if (ARow.Flag.empty()) return text + " (the window's; checked and ignored here)";
    switch (ARow.Kind) {
        case files::OptionKind::Flag: return text + " (0 or 1)";
        case files::OptionKind::Width: return text + " (a whole number)";
        case files::OptionKind::Names: return text + " (names, comma-separated)";
        case files::OptionKind::Groups: return text + " (groups, comma-separated; patterns in a group separated by \";\")";
        case files::OptionKind::Choice: {
            std::string words;
            for (std::u16string_view word : files::ChoiceWords(ARow)) words += (words.empty() ? "" : ", ") + files::Utf8FromText(word);
            return text + " (one of " + words + ")";
        }
        case files::OptionKind::Folders:
            return text + " (folders separated by \";\", relative ones taken from the file's folder)";
    }
    return text;
}

std::string OptionsFileHelp() {
    std::string keys;
    for (const files::OptionRow& row : files::OptionTable()) keys += (keys.empty() ? "" : ", ") + KeyHelp(row);
    return "Options file: each source is formatted with the options of the file \"quorvel.ini\" in its folder or the "
           "nearest folder above it (standard input: the current folder); the search stops at a folder holding "
           "\".git\" and at the root. Its [Settings] section may set " + keys +
           ". An option given on the command line replaces the same option of the file, lists included. Any "
           "other key, or a value that cannot be read, stops the run with exit code 2 and nothing formatted.";
}

// A flag's value read by its row's rule, as the options file reads it. A
// folder is one per flag, named as the system names it (any bytes on Linux,
// a ";" too), and checked when the run starts.
std::optional<files::OptionValue> FlagValue(const files::OptionRow& ARow, const std::string& AText) {
    if (ARow.Kind == files::OptionKind::Folders)
        return std::vector<std::filesystem::path>{quorvel::cli::PathFromArgument(AText)};
    return files::ParseOptionValue(ARow, Utf16(AText), {.BaseFolder = {}, .FoldersMustExist = false});
}

CLI::Validator FlagValidator(const files::OptionRow& ARow) {
    return CLI::Validator(
        [&ARow](const std::string& AText) -> std::string {
            try {
                if (!FlagValue(ARow, AText)) return std::string(ARow.Flag) + " needs a value";
            } catch (const files::OptionError& error) {
                return std::string(ARow.Flag) + ": " + error.what();
            }
            return {};
        },
        "", std::string(ARow.ValueName));
}

// The flag of one row of the option table: a switch that sets the row's
// FlagSets value, or an option that takes a value (repeatable for lists).
void DefineTableFlag(CLI::App& AApp, const files::OptionRow& ARow, files::OptionSet& AOptions) {
    const std::string flag(ARow.Flag);
    const std::string help(ARow.Help);
    if (!ARow.FlagSets.empty()) {
        AApp.add_flag_callback(flag, [&ARow, &AOptions] { AOptions.SetText(ARow, ARow.FlagSets, {}); }, help);
        return;
    }
    const auto take = [&ARow, &AOptions](const std::string& AText) {
        if (ARow.Repeatable) AOptions.Append(ARow, *FlagValue(ARow, AText));
        else AOptions.Set(ARow, *FlagValue(ARow, AText));
        if (!ARow.Implies.empty()) AOptions.Set(files::OptionByKey(ARow.Implies), false);
    };
    CLI::Option* option = AApp.add_option_function<std::vector<std::string>>(
        flag, [take](const std::vector<std::string>& ATexts) { for (const std::string& text : ATexts) take(text); },
        help);
    option->type_name(std::string(ARow.ValueName))->check(FlagValidator(ARow))->expected(1)->allow_extra_args(false);
    if (ARow.Repeatable) option->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void DefineFormatOptions(CLI::App& AApp, CliOptions& AOptions) {
    for (const files::OptionRow& row : files::OptionTable()) {
        if (!row.Flag.empty()) DefineTableFlag(AApp, row, AOptions.Format);
    }
    // Short for the two ways --write-unit-scopes changes names.
    const files::OptionRow& scopes = files::OptionByKey(u"WriteUnitScopes");
    auto* add = AApp.add_flag_callback(
        "--add-unit-scopes", [&AOptions, &scopes] { AOptions.Format.SetText(scopes, u"add", {}); },
        "Same as --write-unit-scopes add");
    AApp.add_flag_callback(
            "--remove-unit-scopes", [&AOptions, &scopes] { AOptions.Format.SetText(scopes, u"remove", {}); },
            "Same as --write-unit-scopes remove")
        ->excludes(add);
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
    AApp.add_flag("-q,--quiet", AOptions.Quiet, "Print only errors and what --check or --diff find");
    AApp.add_option("-j,--jobs", AOptions.Workers, "Files formatted at once; default: the hardware's threads")
        ->type_name("N")
        ->check(CLI::Range(1u, 1024u));
    DefineFormatOptions(AApp, AOptions);
    DefineOptionsFileOptions(AApp, AOptions);
    AApp.set_version_flag("--version", "quorvel-cli " QUORVEL_BUILD_VERSION_TEXT);
    AApp.footer(OptionsFileHelp() +
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
    quorvel::startup::KeepFreedMemoryForReuse();
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
