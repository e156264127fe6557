#include "DigitKeyFilter.h"

#include <QKeyEvent>

bool TDigitKeyFilter::eventFilter(QObject* AWatched, QEvent* AEvent) {
    if (AEvent->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(AEvent)->text();
        const bool printable = !typed.isEmpty() && typed.front().isPrint();
        if (printable && (typed.front() < u'0' || typed.front() > u'9')) return true;
    }
    return QObject::eventFilter(AWatched, AEvent);
}
