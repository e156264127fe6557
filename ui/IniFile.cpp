#include "IniFile.h"

#include "FileError.h"
#include "PlatformPaths.h"
#include "TextConvert.h"

bool TIniFile::Load(const QString& APath) {
    try {
        FDocument = quorvel::files::IniDocument::Load(ToFsPath(APath));
        return true;
    } catch (const quorvel::files::FileError&) {
        FDocument = {};
        return false;
    }
}

std::optional<QString> TIniFile::ReadString(const QString& ASection, const QString& AKey) const {
    const auto value = FDocument.Read(ToU16View(ASection), ToU16View(AKey));
    if (!value) return std::nullopt;
    return ToQString(*value);
}

void TIniFile::WriteString(const QString& ASection, const QString& AKey, const QString& AValue) {
    FDocument.Write(ToU16View(ASection), ToU16View(AKey), ToU16View(AValue));
}

bool TIniFile::Save(const QString& APath) const {
    try {
        FDocument.Save(ToFsPath(APath));
        return true;
    } catch (const quorvel::files::FileError&) {
        return false;
    }
}
