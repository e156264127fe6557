#include "ExecutableDate.h"

#include <QDateTime>
#include <QFileInfo>
#include <stdexcept>

QString ExecutableDateText(const QString& APath, const QLocale& ALocale) {
    const QFileInfo file(APath);
    if (!file.exists())
        throw std::runtime_error(QStringLiteral("The program file was not found: %1").arg(APath).toStdString());
    const QDateTime modified = file.lastModified().toLocalTime();
    QString format = ALocale.dateFormat(QLocale::ShortFormat);
    if (modified.time() != QTime(0, 0)) format += u' ' + ALocale.timeFormat(QLocale::LongFormat);
    return ALocale.toString(modified, format);
}
