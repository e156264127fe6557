#pragma once
// The About dialog; its class-level operations (version texts, update check)
// need no dialog instance.

#include <QDialog>
#include <QString>

class TDialogs;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog modally over AOwner; created and destroyed per showing.
    static void ShowInfo(QWidget* AOwner, TDialogs& ADialogs);
    static void CheckForUpdate(bool ASilent, TDialogs& ADialogs);

private:
    TfrmAbout(QWidget* AOwner, TDialogs& ADialogs);
    TDialogs& FDialogs;
};
