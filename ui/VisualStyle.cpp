#include "VisualStyle.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaEnum>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include "StandardBoxTexts.h"

namespace {

const QString StyleFolder = QStringLiteral(":/styles");

QString FindStyleFile(const QString& AName) {
    const QDir folder(StyleFolder);
    for (const QString& entry : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
        if (QFileInfo(entry).completeBaseName().compare(AName, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    }
    return {};
}

QByteArray ReadResource(const QString& APath) {
    QFile file(APath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Colour roles by their Qt names ("Window", "ButtonText", ...), for one colour group.
void SetColours(QPalette& APalette, QPalette::ColorGroup AGroup, const QJsonObject& AColours) {
    const QMetaEnum roles = QMetaEnum::fromType<QPalette::ColorRole>();
    for (auto it = AColours.begin(); it != AColours.end(); ++it) {
        bool known = false;
        const auto role = QPalette::ColorRole(roles.keyToValue(it.key().toLatin1().constData(), &known));
        if (known) APalette.setColor(AGroup, role, QColor(it.value().toString()));
    }
}

}  // namespace

bool TryApplyVisualStyle(const QString& AName) {
    const QString path = FindStyleFile(AName);
    if (path.isEmpty()) return false;
    const QJsonObject style = QJsonDocument::fromJson(ReadResource(path)).object();

    if (QStyle* base = QStyleFactory::create(style.value(QStringLiteral("base")).toString())) QApplication::setStyle(base);
    QPalette palette = QApplication::style()->standardPalette();
    SetColours(palette, QPalette::All, style.value(QStringLiteral("colours")).toObject());
    SetColours(palette, QPalette::Disabled, style.value(QStringLiteral("disabledColours")).toObject());
    QApplication::setPalette(palette);

    const QString sheet = style.value(QStringLiteral("styleSheet")).toString();
    if (!sheet.isEmpty()) qApp->setStyleSheet(QString::fromUtf8(ReadResource(StyleFolder + u'/' + sheet)));
    return true;
}

void ApplyStartupStyle(TDialogs& ADialogs, const QString& AName) {
    if (!TryApplyVisualStyle(AName)) ShowErrorBox(ADialogs, QStringLiteral("Style '%1' not found").arg(AName));
}
