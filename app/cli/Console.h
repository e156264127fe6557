#pragma once
// The few things about the console that differ between Windows and the rest.

#include <cstdio>
#include <string_view>

namespace quorvel::cli {

bool IsTerminal(std::FILE* AStream);

// Standard input and output carry a source file's bytes untranslated.
void UseBinaryMode(std::FILE* AStream);

// Lines are written in UTF-8; a Windows console is told so.
void PrepareConsoleForUtf8();

void WriteLine(std::FILE* AStream, std::u16string_view ALine);  // UTF-8 and a line break
void WriteText(std::FILE* AStream, std::string_view AText);     // as it is

}  // namespace quorvel::cli
