#pragma once
// The colour of a label's text, kept by the visual style.

#include <QColor>
#include <QWidget>

inline void SetTextColour(QWidget* AWidget, const QColor& AColour) {
    QPalette palette = AWidget->palette();
    palette.setColor(QPalette::WindowText, AColour);
    AWidget->setPalette(palette);
}

// The colours the program gives the preview headings and the status line.
inline const QColor Lime(0, 255, 0);
inline const QColor Red(255, 0, 0);
inline const QColor HeadingGrey(128, 128, 128);
