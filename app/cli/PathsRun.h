#pragma once
// The tool's run over files and folders named on the command line.

#include "CliOptions.h"

namespace quorvel::cli {

// The batch run's log lines go to standard output (standard error with
// --diff, whose unified diff owns standard output). Returns the exit code.
int RunOnPaths(const CliOptions& AOptions);

}  // namespace quorvel::cli
