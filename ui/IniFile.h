#pragma once
// A small INI reader and writer that changes only the keys it is told to:
// every other section, key, comment, blank line and line break keeps its
// bytes. Sections and keys match ignoring letter case, as the Windows profile
// functions do.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

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
    struct TLineRange {
        std::size_t First = 0;  // the section line
        std::size_t End = 0;    // one past the section's last line
    };
    std::optional<TLineRange> FindSection(const QString& ASection) const;
    std::optional<std::size_t> FindKey(const TLineRange& ASection, const QString& AKey) const;
    bool UsesCrLf() const;
    QByteArray NewLine(const QString& AText) const;
    void InsertLine(std::size_t AAt, const QByteArray& ALine);

    std::vector<QByteArray> FLines;  // split at LF; a CR before the LF stays in the line
    bool FEndsWithBreak = false;
};
