#pragma once
// The texts of the program's standard boxes: their caption and the error text.

#include <QString>

class TDialogs;

// The executable's file name up to its first ".", every character after the
// first in lower case: "Quorvel" for Quorvel or QUORVEL.EXE.
QString ApplicationTitle(const QString& AExecutablePath);

// An error's message as the error box shows it: a full stop is appended when
// the last character's code is above that of ".".
QString ErrorBoxText(const QString& AMessage);

// Shows AMessage in the standard error box; the program then goes on.
void ShowErrorBox(TDialogs& ADialogs, const QString& AMessage);
