#include "ufrmAbout.h"

#include "Dialogs.h"

// Placeholder until the About dialog lands.
TfrmAbout::TfrmAbout(QWidget* AOwner, TDialogs& ADialogs) : QDialog(AOwner), FDialogs(ADialogs) {}

void TfrmAbout::ShowInfo(QWidget*, TDialogs& ADialogs) { ADialogs.ShowMessage(QStringLiteral("Quorvel")); }

void TfrmAbout::CheckForUpdate(bool, TDialogs&) {}
