#pragma once
// What the command line asked for, and the exit codes the tool answers with.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "OptionTable.h"

namespace quorvel::cli {

struct CliOptions {
    std::vector<std::string> Paths;  // files and folders; "-" alone: standard input to standard output
    bool Recursive = true;
    bool Backup = false;
    bool Check = false;  // write nothing; exit 1 when a file would change, naming it
    bool Diff = false;   // write nothing; print what would change
    bool Quiet = false;  // only errors, and what --check and --diff report
    unsigned Workers = 1;
    // Only the options given on the command line; each wins over the same
    // option of an options file, the others come from the file or the defaults.
    files::OptionSet Format;
    bool PlainOrder = false;  // alphabetical only: both order rules off, whatever the options file says
    std::optional<std::filesystem::path> ConfigFile;  // --config: this options file for every source
    bool NoConfig = false;                            // --no-config: no options file at all

    bool WritesNothing() const { return Check || Diff; }
};

enum ExitCode : int {
    kExitDone = 0,
    kExitWouldChange = 1,  // --check or --diff found files to change
    kExitFailed = 2,       // a file failed, an options file could not be used, or the command line was wrong
};

}  // namespace quorvel::cli
