// The preview of one listed file: both views, the headings and their colours,
// the change marks, and what failures leave behind.

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include "SourceView.h"
#include "WindowFixture.h"

namespace {

const QByteArray SortedUnit = "unit Done;\r\n\r\ninterface\r\n\r\nimplementation\r\n\r\nend.\r\n";
const QByteArray UnsortedUnit = "unit Mixed;\r\n\r\ninterface\r\n\r\nuses Windows, Classes, SysUtils;\r\n\r\nimplementation\r\n\r\nend.\r\n";
const QByteArray DirectiveUnit = "unit Cond;\r\n\r\ninterface\r\n\r\nuses\r\n  B,\r\n{$IFDEF X}\r\n  A,\r\n{$ENDIF}\r\n  C;\r\n\r\nimplementation\r\n\r\nend.\r\n";

QColor HeadingColour(const TFrmMain& AWindow) { return AWindow.lblFormatted->palette().color(QPalette::WindowText); }

// Lists the path and selects it, as a click on the list does.
void Preview(TFrmMain& AWindow, const QString& APath) {
    AWindow.LstFiles->addItem(APath);
    AWindow.LstFiles->setCurrentRow(AWindow.LstFiles->count() - 1);
}

void ClickItem(TFrmMain& AWindow, int ARow) {
    QListWidgetItem* item = AWindow.LstFiles->item(ARow);
    QTest::mouseClick(AWindow.LstFiles->viewport(), Qt::LeftButton, {},
                      AWindow.LstFiles->visualItemRect(item).center());
}

}  // namespace

class TPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        FFixture = std::make_unique<TWindowFixture>();
        FFixture->WriteQuietSettings();
    }
    void cleanup() { FFixture.reset(); }

    void showsFileAsStoredAndAsFormatted_data();
    void showsFileAsStoredAndAsFormatted();
    void failureLeavesViewsAsTheyWere_data();
    void failureLeavesViewsAsTheyWere();
    void skipMessageOnEveryPreviewAndLayoutToggleRereadsTheFile();
    void clickReadsTheFileOnceAndAgainWhenSelected();
    void groupsAndScopeNamesShowInThePreviewAtOnce();
    void unneededUnitsRemovedAndMovedInThePreview();

private:
    std::unique_ptr<TWindowFixture> FFixture;
};

void TPreviewTest::showsFileAsStoredAndAsFormatted_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("original");
    QTest::addColumn<bool>("changed");
    QTest::newRow("unsorted clause: red, lines marked") << UnsortedUnit << QString::fromLatin1(UnsortedUnit) << true;
    QTest::newRow("nothing to change: lime") << SortedUnit << QString::fromLatin1(SortedUnit) << false;
    QTest::newRow("UTF-8 mark is not shown") << QByteArray("\xEF\xBB\xBFunit \xC3\x9C;\r\n") << u"unit Ü;\r\n"_qs << false;
    QTest::newRow("no mark: ANSI") << QByteArray("unit Caf\xE9;\r\n") << u"unit Café;\r\n"_qs << false;
}

void TPreviewTest::showsFileAsStoredAndAsFormatted() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, original);
    QFETCH(bool, changed);
    auto window = FFixture->CreateWindow();
    Preview(*window, FFixture->WriteSource("sub/Unit1.pas", bytes));

    QCOMPARE(window->SynOriginal->text(), original);
    QCOMPARE(window->SynFormatted->text() != original, changed);
    QCOMPARE(window->LblOriginal->text(), QStringLiteral("Original: Unit1.pas"));
    QCOMPARE(window->lblFormatted->text(), QStringLiteral("Formatted: Unit1.pas"));
    QCOMPARE(HeadingColour(*window), changed ? QColor(255, 0, 0) : QColor(0, 255, 0));
    QCOMPARE(ChangedLineMarks(*window->SynFormatted).empty(), !changed);
    QVERIFY(ChangedLineMarks(*window->SynOriginal).empty());
    QVERIFY(LogLines(*window).isEmpty());
}

void TPreviewTest::failureLeavesViewsAsTheyWere_data() {
    QTest::addColumn<QByteArray>("bytes");  // null: the file is deleted after it was listed
    QTest::addColumn<QString>("logged");    // the start of the one log line; empty: nothing logged
    QTest::newRow("empty file") << QByteArray("") << QString();
    QTest::newRow("deleted file") << QByteArray() << QStringLiteral("File not found: ");
    QTest::newRow("ill-formed UTF-8 after the mark") << QByteArray("\xEF\xBB\xBFunit \xC3\x28;") << QStringLiteral("Error reading: ");
}

void TPreviewTest::failureLeavesViewsAsTheyWere() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, logged);
    auto window = FFixture->CreateWindow();
    Preview(*window, FFixture->WriteSource("Good.pas", UnsortedUnit));
    const QString path = FFixture->WriteSource("Bad.pas", bytes);
    if (bytes.isNull()) QFile::remove(path);

    Preview(*window, path);
    QCOMPARE(window->SynOriginal->text(), QString::fromLatin1(UnsortedUnit));
    QCOMPARE(window->LblOriginal->text(), QStringLiteral("Original: Good.pas"));
    QCOMPARE(window->lblFormatted->text(), QStringLiteral("Formatted: Good.pas"));
    QCOMPARE(HeadingColour(*window), QColor(255, 0, 0));
    const QStringList log = LogLines(*window);
    if (logged.isEmpty()) {
        QVERIFY(log.isEmpty());
    } else {
        QCOMPARE(log.size(), 1);
        QVERIFY2(log[0].startsWith(logged), qPrintable(log[0]));
        if (bytes.isNull()) QCOMPARE(log[0], logged + path);
    }
}

void TPreviewTest::skipMessageOnEveryPreviewAndLayoutToggleRereadsTheFile() {
    auto window = FFixture->CreateWindow();
    const QString path = FFixture->WriteSource("Cond.pas", DirectiveUnit);
    Preview(*window, path);
    const QString skip = u"  [SKIP] interface uses \u2014 contains compiler directives"_qs;
    QCOMPARE(LogLines(*window), QStringList{skip});
    QCOMPARE(HeadingColour(*window), QColor(0, 255, 0));

    FFixture->WriteSource("Cond.pas", UnsortedUnit);
    window->chkUnitsVertical->setChecked(false);
    QCOMPARE(window->SynOriginal->text(), QString::fromLatin1(UnsortedUnit));  // read again from disk
    QCOMPARE(HeadingColour(*window), QColor(255, 0, 0));

    FFixture->WriteSource("Cond.pas", DirectiveUnit);
    window->chkUnitsVertical->setChecked(true);
    QCOMPARE(LogLines(*window), (QStringList{skip, skip}));
}

// One preview per click that selects a file (one skip line), and a click on
// the file already selected reads it from disk again.
void TPreviewTest::clickReadsTheFileOnceAndAgainWhenSelected() {
    auto window = FFixture->CreateWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QString path = FFixture->WriteSource("Cond.pas", DirectiveUnit);
    window->LstFiles->addItem(FFixture->WriteSource("Other.pas", SortedUnit));
    window->LstFiles->addItem(path);
    const QString skip = u"  [SKIP] interface uses \u2014 contains compiler directives"_qs;

    ClickItem(*window, 1);
    QCOMPARE(LogLines(*window), QStringList{skip});

    FFixture->WriteSource("Cond.pas", UnsortedUnit);
    ClickItem(*window, 1);
    QCOMPARE(window->SynOriginal->text(), QString::fromLatin1(UnsortedUnit));
    QCOMPARE(LogLines(*window), QStringList{skip});
}

// Typing groups, one a line, and choosing to add scope names show in the
// preview at once, and both are kept in the settings file.
void TPreviewTest::groupsAndScopeNamesShowInThePreviewAtOnce() {
    auto window = FFixture->CreateWindow();
    FFixture->WriteSource("Unit2.pas", "unit Unit2;\r\ninterface\r\nimplementation\r\nend.\r\n");
    Preview(*window, FFixture->WriteSource("Mixed.pas", "unit Mixed;\r\ninterface\r\nuses Unit2, Windows, Zed, Classes;"
                                                        "\r\nimplementation\r\nend.\r\n"));
    auto* groups = window->findChild<QPlainTextEdit*>(QStringLiteral("mmoGroups"));
    auto* scopes = window->findChild<QComboBox*>(QStringLiteral("cmbWriteUnitScopes"));
    QVERIFY(groups && scopes);

    groups->setPlainText(QStringLiteral("System.*\nWinapi.*"));
    const QString head = QStringLiteral("unit Mixed;\r\ninterface\r\nuses\r\n");
    const QString tail = QStringLiteral("   Zed,\r\n\r\n   Unit2;\r\nimplementation\r\nend.\r\n");
    QCOMPARE(window->SynFormatted->text(), head + "   Classes,\r\n\r\n   Windows,\r\n\r\n" + tail);

    scopes->setCurrentIndex(1);
    QCOMPARE(window->SynFormatted->text(), head + "   System.Classes,\r\n\r\n   Winapi.Windows,\r\n\r\n" + tail);
    QVERIFY(LogLines(*window).contains(u"  [SCOPE] interface uses \u2014 Windows as Winapi.Windows"_qs));
    const QByteArray settings = FFixture->ReadSettings();
    QVERIFY2(settings.contains("Groups=System.*,Winapi.*") && settings.contains("WriteUnitScopes=add"), settings);
}

// The options on unneeded units show in the preview before anything is
// written, and their notes in the log.
void TPreviewTest::unneededUnitsRemovedAndMovedInThePreview() {
    auto window = FFixture->CreateWindow();
    FFixture->WriteSource("Used.pas", "unit Used;\r\ninterface\r\nconst UsedValue = 1;\r\nimplementation\r\nend.\r\n");
    FFixture->WriteSource("Spare.pas", "unit Spare;\r\ninterface\r\nconst SpareValue = 2;\r\nimplementation\r\nend.\r\n");
    const QByteArray source = "unit Main;\r\ninterface\r\nuses Used, Spare;\r\nimplementation\r\n\r\n"
                              "procedure P; begin UsedValue; end;\r\nend.\r\n";
    const QString path = FFixture->WriteSource("Main.pas", source);
    Preview(*window, path);
    auto* remove = window->findChild<QCheckBox*>(QStringLiteral("chkRemoveUnused"));
    auto* move = window->findChild<QCheckBox*>(QStringLiteral("chkMoveToImplementation"));
    QVERIFY(remove && move);

    remove->setChecked(true);
    move->setChecked(true);
    QCOMPARE(window->SynFormatted->text(), QStringLiteral("unit Main;\r\ninterface\r\nimplementation\r\n\r\nuses\r\n"
                                                         "   Used;\r\n\r\nprocedure P; begin UsedValue; end;\r\nend.\r\n"));
    const QStringList log = LogLines(*window);
    QVERIFY2(log.contains(u"  [UNUSED] interface uses \u2014 Spare (removed)"_qs), qPrintable(log.join('\n')));
    QVERIFY(log.contains(u"  [MOVE] interface uses \u2014 Used is used only in the implementation (moved)"_qs));
    QFile stored(path);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(stored.readAll(), source);
    const QByteArray settings = FFixture->ReadSettings();
    QVERIFY2(settings.contains("RemoveUnused=1") && settings.contains("MoveToImplementation=1"), settings);
}

QTEST_MAIN(TPreviewTest)
#include "PreviewTest.moc"
