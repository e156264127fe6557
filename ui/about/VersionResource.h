#pragma once
// The program's version as the system shows it for the program file.

#include <QString>
#include <optional>

#include "FileVersion.h"

// On Windows the file version in the running program's version resource (what
// the file's Properties show, so the About dialog cannot disagree with them);
// elsewhere a program file carries no version, and the compiled-in numbers
// stand for it.
std::optional<TFileVersion> ProgramFileVersion();

// The file version in the version resource of the program file APath; nothing
// when it has none or cannot be read, and always nothing outside Windows.
std::optional<TFileVersion> ReadVersionResource(const QString& APath);
