#include "RoundedCorners.h"

#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#include <dwmapi.h>

void RequestRoundedCorners(QWidget& AWindow) {
    // DWMWA_WINDOW_CORNER_PREFERENCE and DWMWCP_ROUND by value: older SDKs lack
    // the names, and older systems ignore the request.
    const DWORD cornerPreferenceAttribute = 33;
    const int roundCorners = 2;
    DwmSetWindowAttribute(reinterpret_cast<HWND>(AWindow.winId()), cornerPreferenceAttribute, &roundCorners,
                          static_cast<DWORD>(sizeof roundCorners));
}
#else
void RequestRoundedCorners(QWidget&) {}
#endif
