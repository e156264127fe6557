#pragma once
// The application object. An error that escapes an event handler ends up here
// and is shown in the standard error box; the program goes on.

#include <QApplication>

class TDialogs;

class TQuorvelApplication : public QApplication {
public:
    TQuorvelApplication(int& argc, char** argv);
    // Where errors are shown; until set, they go to the debug output.
    void SetDialogs(TDialogs* ADialogs) { FDialogs = ADialogs; }
    bool notify(QObject* AReceiver, QEvent* AEvent) override;

private:
    void ReportError(const QString& AMessage);
    TDialogs* FDialogs = nullptr;
};
