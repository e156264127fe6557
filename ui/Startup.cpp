#include "Startup.h"

#include <QTimer>

#include "Dialogs.h"
#include "FormMain.h"
#include "QuorvelApplication.h"
#include "VisualStyle.h"

int RunQuorvel(int& argc, char** argv, const std::function<void(TFrmMain&)>& AOnShown) {
    TQuorvelApplication application(argc, argv);
    TQtDialogs dialogs;
    application.SetDialogs(&dialogs);
    ApplyStartupStyle(dialogs, QStringLiteral("Jet"));
    TFrmMain window(dialogs);
    window.show();
    if (AOnShown) QTimer::singleShot(0, &window, [&window, &AOnShown] { AOnShown(window); });
    const int exitCode = application.exec();
    return exitCode;
}
