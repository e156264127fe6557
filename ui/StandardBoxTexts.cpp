#include "StandardBoxTexts.h"

#include <QFileInfo>

#include "Dialogs.h"

QString ApplicationTitle(const QString& AExecutablePath) {
    const QString name = QFileInfo(AExecutablePath).fileName();
    const QString stem = name.left(name.indexOf(u'.'));
    return stem.left(1) + stem.mid(1).toLower();
}

QString ErrorBoxText(const QString& AMessage) {
    if (!AMessage.isEmpty() && AMessage.back() > QChar(u'.')) return AMessage + u'.';
    return AMessage;
}

void ShowErrorBox(TDialogs& ADialogs, const QString& AMessage) { ADialogs.ShowError(ErrorBoxText(AMessage)); }
