// Shows the About dialog on its own, or with the argument "question" the
// update question, to look at them by eye.

#include <QApplication>

#include "Dialogs.h"
#include "ufrmAbout.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TQtDialogs dialogs;
    if (argc > 1 && QByteArray(argv[1]) == "question")
        dialogs.AskUpdate({"Launcher", "Update available",
                           "Version 1.0.0.14 is available.\r\nYour version: 1.0.0.13\r\n\r\nShow downloadpage?"});
    else
        TfrmAbout::ShowInfo(nullptr, dialogs);
    return 0;
}
