#pragma once
// The command line as UTF-8, and paths from it, the same way on every system.

#include <filesystem>
#include <string>
#include <vector>

namespace quorvel::cli {

// Windows hands a program's argv over in the ANSI code page, which loses
// names with other letters: there the arguments are taken from the UTF-16
// command line. Elsewhere argv as it is.
std::vector<std::string> Utf8Arguments(int AArgc, char** AArgv);

// A path argument: Windows reads it as UTF-8; elsewhere its bytes are the name.
std::filesystem::path PathFromArgument(const std::string& AArgument);

}  // namespace quorvel::cli
