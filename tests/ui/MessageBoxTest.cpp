// The real plain message box: captioned with the application title, no icon,
// one OK button, and centred on the screen, wherever its window stands.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "Dialogs.h"

class TMessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void plainBoxStandsInTheMiddleOfTheScreen() {
        QWidget window;
        window.setGeometry(10, 10, 200, 150);  // its own centre is far from the screen's
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QRect boxFrame;
        QString caption;
        QMessageBox::Icon icon = QMessageBox::Critical;
        int buttons = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            boxFrame = box->frameGeometry();
            caption = box->windowTitle();
            icon = box->icon();
            buttons = int(box->buttons().size());
            QTest::keyClick(box, Qt::Key_Return);
        });
        TQtDialogs().ShowMessage(QStringLiteral("No files to format."));

        QCOMPARE(caption, QApplication::applicationName());
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
        const QPoint offCentre = boxFrame.center() - window.screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, qPrintable(QStringLiteral("box at %1,%2 %3x%4")
                                                                  .arg(boxFrame.x()).arg(boxFrame.y())
                                                                  .arg(boxFrame.width()).arg(boxFrame.height())));
    }
};

QTEST_MAIN(TMessageBoxTest)
#include "MessageBoxTest.moc"
