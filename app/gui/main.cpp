#include <QApplication>

#include "Dialogs.h"
#include "FormMain.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TQtDialogs dialogs;
    TFrmMain window(dialogs);
    window.show();
    return app.exec();
}
