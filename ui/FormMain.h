#pragma once
// The main window.

#include <QMainWindow>

class TDialogs;

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmMain(TDialogs& ADialogs, QWidget* AParent = nullptr);

private:
    TDialogs& FDialogs;
};
