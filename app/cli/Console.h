#pragma once
// The few things about the console that differ between Windows and the rest.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string_view>

namespace quorvel::cli {

bool IsTerminal(std::FILE* AStream);

// Standard input and output carry a source file's bytes untranslated.
void UseBinaryMode(std::FILE* AStream);
// The size of the file behind AStream when it is a regular file (a redirection
// from a file), nothing for a pipe or a console.
std::optional<std::size_t> RegularFileSize(std::FILE* AStream);

// Call once, first: output lines end in "\n" on every system, so a diff's
// "\r\n" reaches a file as it stands in the source.
void PrepareStandardStreams();

void WriteLine(std::FILE* AStream, std::u16string_view ALine);  // UTF-8 and a line break
// UTF-8 text. A Windows console is given it as UTF-16, which it shows right
// whatever its code page; files and pipes get the UTF-8 bytes.
void WriteText(std::FILE* AStream, std::string_view AText);
void WriteBytes(std::FILE* AStream, std::string_view ABytes);  // as they are, also to a console

}  // namespace quorvel::cli
