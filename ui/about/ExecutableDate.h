#pragma once
// The date text the About dialog shows beside the build version.

#include <QLocale>
#include <QString>

// The file's last-write time (a symbolic link followed) in local time, by the
// time-zone rules of that date: the locale's short date, then one blank and
// its long time unless the time is exactly midnight. Throws
// std::runtime_error when APath names no existing file.
QString ExecutableDateText(const QString& APath, const QLocale& ALocale = QLocale());
