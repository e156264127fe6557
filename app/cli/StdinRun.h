#pragma once
// `quorvel-cli -`: one source file's bytes from standard input, the formatted
// bytes to standard output, for editors and pipes.

#include "CliOptions.h"

namespace quorvel::cli {

// The output keeps the input's encoding and mark; an unchanged input comes
// out byte for byte. Skip messages and errors go to standard error; after an
// error nothing is written to standard output. With --check or --diff the
// formatted bytes are not written. Returns the exit code.
int RunOnStandardInput(const CliOptions& AOptions);

}  // namespace quorvel::cli
