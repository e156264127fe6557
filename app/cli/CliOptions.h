#pragma once
// What the command line asked for, and the exit codes the tool answers with.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::cli {

struct CliOptions {
    std::vector<std::string> Paths;  // files and folders; "-" alone: standard input to standard output
    bool Recursive = true;
    bool Backup = false;
    bool Check = false;  // write nothing; exit 1 when a file would change, naming it
    bool Diff = false;   // write nothing; print what would change
    bool Wrapped = false;
    std::int32_t WrapAt = 80;
    bool Quiet = false;  // only errors, and what --check and --diff report
    unsigned Workers = 1;
    // The order rules: units that must come first (built-in list plus the
    // user's), and every name resolving to the unit it resolved to before.
    bool KeepFirstBuiltIn = true;
    std::vector<std::string> KeepFirst;  // names, each argument a comma-separated list
    bool KeepNameResolution = true;
    std::vector<std::string> UnitsPath;                    // folders searched with their subfolders
    std::optional<std::string> UnitScopes;                 // comma-separated; replaces the default scope names
    bool PlainOrder = false;                               // alphabetical only: both rules off

    bool WritesNothing() const { return Check || Diff; }
    TQuorvel Formatter() const;
    std::vector<std::filesystem::path> UnitsFolders() const;
};

enum ExitCode : int {
    kExitDone = 0,
    kExitWouldChange = 1,  // --check or --diff found files to change
    kExitFailed = 2,       // a file failed, or the command line was wrong
};

}  // namespace quorvel::cli
