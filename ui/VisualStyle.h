#pragma once
// The visual styles the executable carries as resources (":/styles/<Name>.json",
// with an optional style sheet beside it).

#include <QString>

class TDialogs;

// Makes the style of that name, letter case ignored, the look of every window
// and standard control; false when the executable carries no such style.
bool TryApplyVisualStyle(const QString& AName);

// The start-up step: a missing style is reported and the standard look stays.
void ApplyStartupStyle(TDialogs& ADialogs, const QString& AName);
