#include "RemoteVersionText.h"

#include <QList>
#include <QStringDecoder>
#include <optional>

#include "UpdateCheckError.h"

namespace {

// The value of the charset parameter of a Content-Type header, quotes
// removed; nothing when there is no such parameter.
std::optional<QByteArray> CharsetParameter(const QByteArray& AContentType) {
    const QList<QByteArray> parts = AContentType.split(';');
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const QByteArray parameter = parts[i].trimmed();
        const qsizetype equals = parameter.indexOf('=');
        if (equals < 0 || parameter.left(equals).trimmed().toLower() != "charset") continue;
        QByteArray value = parameter.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"')) value = value.mid(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

QString TrimmedAtBlanks(const QString& AText) {
    qsizetype first = 0, last = AText.size();
    while (first < last && AText[first].unicode() <= 0x20) ++first;
    while (last > first && AText[last - 1].unicode() <= 0x20) --last;
    return AText.mid(first, last - first);
}

}  // namespace

QString RemoteVersionText(const QByteArray& ABody, const QByteArray& AContentType) {
    const std::optional<QByteArray> charset = CharsetParameter(AContentType);
    const bool utf8 = !charset || charset->toLower() == "utf-8";
    // The decoder skips a byte-order mark of its own encoding.
    QStringDecoder decoder = utf8 ? QStringDecoder(QStringConverter::Utf8) : QStringDecoder(charset->constData());
    if (!decoder.isValid())
        throw TUpdateCheckError(
            QStringLiteral("The reply uses an unknown character set: %1").arg(QString::fromLatin1(*charset)));
    return TrimmedAtBlanks(decoder.decode(ABody));
}
