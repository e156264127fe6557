// The main window as a whole: its state after creation, "Clear file list",
// the option controls, the list's hint, the drop area's double-click and the
// window's painted size.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <Qsci/qscilexer.h>
#include <Qsci/qsciscintilla.h>

#include "QuorvelCore.h"
#include "WindowFixture.h"

namespace {

QColor TextColour(const QLabel* ALabel) { return ALabel->palette().color(QPalette::WindowText); }

void SendMouse(QWidget* AWidget, QEvent::Type AType, QPoint AAt) {
    QMouseEvent event(AType, AAt, AWidget->mapToGlobal(AAt), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(AWidget, &event);
}

// Fraction of the pixels in the rectangle whose colour is not ABackground.
double InkShare(const QImage& AImage, const QRect& AArea, const QColor& ABackground) {
    int ink = 0;
    for (int y = AArea.top(); y <= AArea.bottom(); ++y)
        for (int x = AArea.left(); x <= AArea.right(); ++x)
            if (AImage.pixelColor(x, y) != ABackground) ++ink;
    return double(ink) / (AArea.width() * AArea.height());
}

}  // namespace

class TMainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { FFixture = std::make_unique<TWindowFixture>(); }
    void cleanup() { FFixture.reset(); }

    void initialState_data();
    void initialState();
    void clearResetsEverythingButTheOptions();
    void wrapWidthTakesPositiveIntegersOnly_data();
    void wrapWidthTakesPositiveIntegersOnly();
    void wrapWidthFollowsEachTypedDigit();
    void verticalLayoutReachesFormatterWithoutSaving();
    void updateCheckBoxSavesAtOnce();
    void logKeepsEveryLineAndFollowsItsEnd();
    void listHintIsTheWholePathOfTheItemUnderTheMouse();
    void doubleClickOnDropAreaOpensFolderBrowser_data();
    void doubleClickOnDropAreaOpensFolderBrowser();
    void windowPaintsBothViewsAtItsSize();
    void tabKeyStaysInTheSourceViews();

private:
    std::unique_ptr<TWindowFixture> FFixture;
};

void TMainWindowTest::initialState_data() {
    QTest::addColumn<QByteArray>("settings");  // null: no settings file
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<QString>("wrapText");
    QTest::addColumn<int>("wrapWidth");
    QTest::newRow("no settings file: defaults") << QByteArray() << true << true << "80" << 80;
    QTest::newRow("stored options") << QByteArray("[Settings]\nVerticalList=0\nAutoUpdate=0\nWordWrapAt=100\n") << false
                                    << false << "100" << 100;
}

void TMainWindowTest::initialState() {
    QFETCH(QByteArray, settings);
    QFETCH(bool, vertical);
    QFETCH(bool, autoUpdate);
    QFETCH(QString, wrapText);
    QFETCH(int, wrapWidth);
    if (!settings.isNull()) FFixture->WriteSettings(settings);
    auto window = FFixture->CreateWindow();

    QCOMPARE(window->windowTitle(), QStringLiteral("Quorvel"));
    QCOMPARE(window->chkUnitsVertical->isChecked(), vertical);
    QCOMPARE(window->chkAutoUpdateCheck->isChecked(), autoUpdate);
    QCOMPARE(window->edtUsesWordwrap->text(), wrapText);
    QCOMPARE(window->Formatter()->VerticalList(), vertical);
    QCOMPARE(window->Formatter()->WordWrapAt(), wrapWidth);
    QVERIFY(window->Formatter()->PreserveComments());
    // Loading creates the folder but writes nothing.
    QVERIFY(QFileInfo(FFixture->SettingsPath()).absoluteDir().exists());
    QCOMPARE(QFileInfo::exists(FFixture->SettingsPath()), !settings.isNull());

    QCOMPARE(window->LstFiles->count(), 0);
    QCOMPARE(window->LblInfo->text(), QStringLiteral("0 File(s) found"));
    QVERIFY(!window->BtnFormat->isEnabled());
    QVERIFY(window->ChkBackup->isChecked());
    QVERIFY(window->ChkRecursive->isChecked());
    QCOMPARE(window->LblOriginal->text(), QStringLiteral("Original"));
    QCOMPARE(TextColour(window->LblOriginal), QColor(0, 255, 0));
    QCOMPARE(window->lblFormatted->text(), QStringLiteral("Preview formatted"));
    QCOMPARE(TextColour(window->lblFormatted), QColor(255, 0, 0));
    QVERIFY(window->SynOriginal->text().isEmpty() && window->SynFormatted->text().isEmpty());
    QVERIFY(window->SynOriginal->isReadOnly() && window->SynFormatted->isReadOnly());
    QVERIFY(window->SynOriginal->lexer() != nullptr);
    QCOMPARE(window->SynFormatted->lexer(), window->SynOriginal->lexer());
    QVERIFY(window->MmoLog->toPlainText().isEmpty() && window->MmoLog->isReadOnly());
    QVERIFY(FFixture->Dialogs.Errors.isEmpty());
}

void TMainWindowTest::clearResetsEverythingButTheOptions() {
    FFixture->WriteQuietSettings();
    auto window = FFixture->CreateWindow();
    window->LstFiles->addItems({"a.pas", "b.pas"});
    window->LstFiles->setCurrentRow(1);  // a missing file: logs "File not found: "
    window->BtnFormat->setEnabled(true);
    window->SynOriginal->setText("unit A;");
    window->SynFormatted->setText("unit A;");
    window->chkUnitsVertical->setChecked(false);
    window->edtUsesWordwrap->setText("60");

    for (int click = 1; click <= 2; ++click) {
        window->BtnClear->click();
        QCOMPARE(window->LstFiles->count(), 0);
        QCOMPARE(window->LstFiles->currentRow(), -1);
        QVERIFY(window->MmoLog->toPlainText().isEmpty());
        QVERIFY(window->SynOriginal->text().isEmpty() && window->SynFormatted->text().isEmpty());
        QCOMPARE(window->LblOriginal->text(), QStringLiteral("Original"));
        QCOMPARE(TextColour(window->LblOriginal), QColor(0, 255, 0));
        QCOMPARE(window->lblFormatted->text(), QStringLiteral("Formatted"));
        QCOMPARE(TextColour(window->lblFormatted), QColor(128, 128, 128));
        QCOMPARE(window->LblInfo->text(), QStringLiteral("0 file(s) found"));
        QVERIFY(!window->BtnFormat->isEnabled());
        QVERIFY(!window->chkUnitsVertical->isChecked());
        QCOMPARE(window->Formatter()->WordWrapAt(), 60);
    }
    QVERIFY(FFixture->Dialogs.Errors.isEmpty());
}

void TMainWindowTest::wrapWidthTakesPositiveIntegersOnly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");  // starting from 80
    QTest::newRow("decimal") << "120" << 120;
    QTest::newRow("hexadecimal") << "$10" << 16;
    QTest::newRow("leading spaces") << "  7" << 7;
    QTest::newRow("zero keeps the width") << "0" << 80;
    QTest::newRow("negative keeps the width") << "-5" << 80;
    QTest::newRow("empty keeps the width") << "" << 80;
    QTest::newRow("not a number keeps the width") << "abc" << 80;
    QTest::newRow("beyond 32 bits keeps the width") << "2147483648" << 80;
}

void TMainWindowTest::wrapWidthTakesPositiveIntegersOnly() {
    QFETCH(QString, text);
    QFETCH(int, width);
    auto window = FFixture->CreateWindow();
    window->edtUsesWordwrap->setText(text);
    QCOMPARE(window->Formatter()->WordWrapAt(), width);
    QCOMPARE(window->edtUsesWordwrap->text(), text);
    QVERIFY(!QFileInfo::exists(FFixture->SettingsPath()));  // the width is saved only at the end
}

void TMainWindowTest::wrapWidthFollowsEachTypedDigit() {
    auto window = FFixture->CreateWindow();
    window->edtUsesWordwrap->clear();
    QList<int> widths;
    for (const char key : QByteArray("120")) {
        QTest::keyClick(window->edtUsesWordwrap, key);
        widths << window->Formatter()->WordWrapAt();
    }
    QCOMPARE(widths, (QList<int>{1, 12, 120}));
    QTest::keyClicks(window->edtUsesWordwrap, "x-");  // typed non-digits are refused
    QCOMPARE(window->edtUsesWordwrap->text(), QStringLiteral("120"));
}

void TMainWindowTest::verticalLayoutReachesFormatterWithoutSaving() {
    auto window = FFixture->CreateWindow();
    window->chkUnitsVertical->setChecked(false);
    QVERIFY(!window->Formatter()->VerticalList());
    window->chkUnitsVertical->setChecked(true);
    QVERIFY(window->Formatter()->VerticalList());
    QVERIFY(!QFileInfo::exists(FFixture->SettingsPath()));
    QVERIFY(LogLines(*window).isEmpty());  // nothing selected: no preview
}

void TMainWindowTest::updateCheckBoxSavesAtOnce() {
    auto window = FFixture->CreateWindow();  // no file: the box starts ticked
    window->edtUsesWordwrap->setText("");
    window->chkAutoUpdateCheck->setChecked(false);
    QCOMPARE(FFixture->ReadSettings(), NewFileLines("[Settings]\nVerticalList=1\nAutoUpdate=0\nWordWrapAt=\nKeepFirstBuiltIn=1\nKeepFirst=\n"
                                                    "KeepNameResolution=1\nKeepInitOrder=0\nUnitsPath=\nDefaultUnitsPath=1\n"
                                                    "Groups=\nGroupSeparator=blank-line\nWriteUnitScopes=as-written\nUnitCase=as-written\nReportUnused=0\nRemoveUnused=0\nMoveToImplementation=0\n"));

    // A settings file that cannot be written: the error box, and the box stays as the user left it.
    QFile::remove(FFixture->SettingsPath());
    QVERIFY(QDir().mkpath(FFixture->SettingsPath()));
    window->chkAutoUpdateCheck->setChecked(true);
    QCOMPARE(FFixture->Dialogs.Errors,
             QStringList{"Unable to write to " + QDir::toNativeSeparators(FFixture->SettingsPath()) + "."});
    QVERIFY(window->chkAutoUpdateCheck->isChecked());
}

void TMainWindowTest::logKeepsEveryLineAndFollowsItsEnd() {
    auto window = FFixture->CreateWindow();
    for (int round = 1; round <= 2; ++round) {  // also after "Clear file list" emptied it
        window->Log("");
        window->Log("first");
        window->Log("");
        window->Log("last");
        QCOMPARE(LogLines(*window), (QStringList{"", "first", "", "last"}));
        const QTextCursor caret = window->MmoLog->textCursor();
        QVERIFY(!caret.hasSelection());
        QCOMPARE(caret.position(), window->MmoLog->document()->characterCount() - 1);
        window->BtnClear->click();
    }
}

void TMainWindowTest::listHintIsTheWholePathOfTheItemUnderTheMouse() {
    auto window = FFixture->CreateWindow();
    window->resize(1200, 750);
    window->LstFiles->addItems({"/src/deep/folder/First.pas", "/src/Second.dpr"});
    QWidget* area = window->LstFiles->viewport();
    const QRect second = window->LstFiles->visualItemRect(window->LstFiles->item(1));

    SendMouse(area, QEvent::MouseMove, second.center());
    QCOMPARE(area->toolTip(), QStringLiteral("/src/Second.dpr"));
    SendMouse(area, QEvent::MouseMove, second.center() + QPoint(0, 3 * second.height()));  // below the last item
    QVERIFY(area->toolTip().isEmpty());
}

void TMainWindowTest::doubleClickOnDropAreaOpensFolderBrowser_data() {
    QTest::addColumn<QString>("area");
    QTest::addColumn<int>("browsers");
    QTest::newRow("blue drop label") << "LblDrop" << 1;
    QTest::newRow("panel's free strip") << "PnlDrop" << 1;
    QTest::newRow("status line") << "LblInfo" << 0;
}

void TMainWindowTest::doubleClickOnDropAreaOpensFolderBrowser() {
    QFETCH(QString, area);
    QFETCH(int, browsers);
    auto window = FFixture->CreateWindow();
    auto* target = window->findChild<QWidget*>(area);
    QVERIFY(target);
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(target->width() / 2, target->height() - 3));
    QCOMPARE(FFixture->Dialogs.FolderTitles, QStringList(browsers, QStringLiteral("Select directory")));
}

void TMainWindowTest::windowPaintsBothViewsAtItsSize() {
    FFixture->WriteQuietSettings();
    const QString path = FFixture->WriteSource("Unit1.pas", "unit Unit1;\r\n\r\ninterface\r\n\r\nuses Windows, Classes, SysUtils;\r\n\r\n"
                                                            "implementation\r\n\r\nend.\r\n");
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, {path});
    window->LstFiles->setCurrentRow(0);

    const QImage shot = window->grab().toImage();
    QCOMPARE(shot.size() / shot.devicePixelRatio(), QSize(1200, 750));
    QCOMPARE(window->PnlLeft->width(), 280);
    QCOMPARE(window->SplVert->sizes(), (QList<int>{452, 458}));
    QCOMPARE(window->PnlLog->height(), 189);
    for (QsciScintilla* view : {window->SynOriginal, window->SynFormatted}) {
        QVERIFY(!view->text().isEmpty());
        // Right of the gutter and below the caret line, where only text differs from the background.
        int gutter = 0;
        for (int margin = 0; margin < view->margins(); ++margin) gutter += view->marginWidth(margin);
        const QPoint origin = view->viewport()->mapTo(window.get(), QPoint(gutter + 2, 2 * view->textHeight(0)));
        const QRect text(origin, QSize(200, 5 * view->textHeight(0)));
        QVERIFY2(InkShare(shot, text, QColor(57, 57, 57)) > 0.02, qPrintable(view->objectName()));
    }
}

// Tab reaches the first view from the file list, and from there on the
// views keep Tab and Shift+Tab; Ctrl+Tab still leaves them.
void TMainWindowTest::tabKeyStaysInTheSourceViews() {
    FFixture->WriteQuietSettings();
    auto window = FFixture->CreateShownWindow();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->LstFiles->setFocus();
    QTest::keyClick(window->LstFiles, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window->SynOriginal);

    for (QsciScintilla* view : {window->SynOriginal, window->SynFormatted}) {
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(view, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), view);
        QVERIFY(view->text().isEmpty());  // nothing typed into the read-only view
    }
}

QTEST_MAIN(TMainWindowTest)
#include "MainWindowTest.moc"
