// Starts the real program and scripts it for screenshots under Xvfb; not a test.
// Usage: ui_screenshot_driver [--select ROW] [--run] [--no-backup] PATH...
// The paths are dropped on the window once it is shown; --select previews a
// listed file; --run then starts "Apply preview to files" after a second.

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "Startup.h"
#include "WindowFixture.h"

int main(int argc, char* argv[]) {
    QStringList paths;
    int select = -1;
    bool run = false, backup = true;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--select" && i + 1 < argc) select = QString(argv[++i]).toInt();
        else if (arg == "--run") run = true;
        else if (arg == "--no-backup") backup = false;
        else paths << arg;
    }
    int qtArgc = 1;
    return RunQuorvel(qtArgc, argv, [=](TFrmMain& AWindow) {
        DropPaths(AWindow, paths);
        AWindow.ChkBackup->setChecked(backup);
        if (select >= 0) AWindow.LstFiles->setCurrentRow(select);
        if (run) QTimer::singleShot(1000, AWindow.BtnFormat, &QPushButton::click);
    });
}
