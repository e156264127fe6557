#pragma once
// QString and the engine's UTF-16 strings hold the same code units; these
// convert between them without any decoding.

#include <QString>
#include <string>
#include <string_view>

inline std::u16string_view ToU16View(const QString& AText) {
    return {reinterpret_cast<const char16_t*>(AText.utf16()), std::size_t(AText.size())};
}

inline QString ToQString(const std::u16string& AText) {
    return QString(reinterpret_cast<const QChar*>(AText.data()), qsizetype(AText.size()));
}
