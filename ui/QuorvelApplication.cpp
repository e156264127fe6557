#include "QuorvelApplication.h"

#include <exception>

#include "StandardBoxTexts.h"

TQuorvelApplication::TQuorvelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(ApplicationTitle());
    // Ties the running window to its desktop entry (icon, task switcher).
    setDesktopFileName(QStringLiteral("example.quorvel.Quorvel"));
}

bool TQuorvelApplication::notify(QObject* AReceiver, QEvent* AEvent) {
    try {
        return QApplication::notify(AReceiver, AEvent);
    } catch (const std::exception& error) {
        ReportError(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportError(QStringLiteral("Unknown error"));
    }
    return false;
}

void TQuorvelApplication::ReportError(const QString& AMessage) {
    if (FDialogs)
        ShowErrorBox(*FDialogs, AMessage);
    else
        qCritical("%s", qUtf8Printable(ErrorBoxText(AMessage)));
}
