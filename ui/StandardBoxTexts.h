#pragma once
// The texts of the program's standard boxes: their caption and the error text.

#include <QString>

class TDialogs;

// The caption of every standard box. Fixed rather than taken from the
// executable's name, which packages spell in lower case ("quorvel").
QString ApplicationTitle();

// An error's message as the error box shows it: a full stop is appended when
// the last character's code is above that of ".".
QString ErrorBoxText(const QString& AMessage);

// Shows AMessage in the standard error box; the program then goes on.
void ShowErrorBox(TDialogs& ADialogs, const QString& AMessage);
