#pragma once
// Lets a one-line edit take typed digits only. Text set from code or pasted
// is not checked: the settings file and the clipboard can put any text there.

#include <QObject>

class TDigitKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* AWatched, QEvent* AEvent) override;
};
