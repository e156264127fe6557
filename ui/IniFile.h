#pragma once
// The window's settings file through the file layer's INI document: only the
// keys written change, every other line keeps its bytes. Sections and keys
// match ignoring letter case, as the Windows profile functions do.

#include <QString>
#include <optional>

#include "IniDocument.h"

class TIniFile {
public:
    // False only when the file exists but cannot be read; a missing file reads as empty.
    bool Load(const QString& APath);
    // The value with surrounding blanks removed; nothing when section or key is missing.
    std::optional<QString> ReadString(const QString& ASection, const QString& AKey) const;
    // Replaces the key's line, or adds the key at the end of its section, or
    // adds the section at the end of the file.
    void WriteString(const QString& ASection, const QString& AKey, const QString& AValue);
    // Replaces the file as a whole, so a failed write leaves the old file; false on failure.
    bool Save(const QString& APath) const;

private:
    quorvel::files::IniDocument FDocument;
};
