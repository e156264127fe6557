#pragma once
// What the command line asked for, and the exit codes the tool answers with.

#include <cstdint>
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

    bool WritesNothing() const { return Check || Diff; }
    TQuorvel Formatter() const;
};

enum ExitCode : int {
    kExitDone = 0,
    kExitWouldChange = 1,  // --check or --diff found files to change
    kExitFailed = 2,       // a file failed, or the command line was wrong
};

}  // namespace quorvel::cli
