#pragma once
// Asks the platform to draw a window with rounded corners where it can
// (Windows 11); elsewhere nothing happens.

class QWidget;

void RequestRoundedCorners(QWidget& AWindow);
