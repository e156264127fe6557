#pragma once
// Runs the built quorvel-cli as a user's shell would, for end-to-end tests.

#include <string>

#include "TestFolder.h"

namespace quorvel::files::test {

struct ToolOutcome {
    int ExitCode;
    std::string Out, Err;
};

// Runs the tool with AArguments (UTF-8, already quoted where needed), standard
// input from AInput; its output is kept in files under AFolder.
// In AWorkFolder when one is given. The tool finds the compilers installed
// below ASystemRoot (a fake tree: usr/share/fpcsrc/<version>, home/.lazarus,
// ...) and none when it is empty; the Windows registry it reads as it is.
ToolOutcome RunTool(const TestFolder& AFolder, const std::string& AArguments, const Bytes& AInput = {},
                    const std::filesystem::path& AWorkFolder = {}, const std::filesystem::path& ASystemRoot = {});

// "\"<path>\"" for a command line, the path as UTF-8.
std::string Quoted(const std::filesystem::path& APath);

// ASCII text with "/" as the system's separator: the form paths in output take.
std::string NativeSeparators(std::string AText);

}  // namespace quorvel::files::test
