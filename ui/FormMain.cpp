#include "FormMain.h"

#include "Dialogs.h"

// Placeholder until the main window lands.
TFrmMain::TFrmMain(TDialogs& ADialogs, QWidget* AParent) : QMainWindow(AParent), FDialogs(ADialogs) {
    setWindowTitle(QStringLiteral("Quorvel"));
}
