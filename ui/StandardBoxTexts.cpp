#include "StandardBoxTexts.h"

#include "Dialogs.h"

QString ApplicationTitle() { return QStringLiteral("Quorvel"); }

QString ErrorBoxText(const QString& AMessage) {
    if (!AMessage.isEmpty() && AMessage.back() > QChar(u'.')) return AMessage + u'.';
    return AMessage;
}

void ShowErrorBox(TDialogs& ADialogs, const QString& AMessage) { ADialogs.ShowError(ErrorBoxText(AMessage)); }
