// The options in the settings file: what stored values do, what a save
// writes, and that the rest of the file is kept.

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include "OptionsFile.h"
#include "QuorvelCore.h"
#include "WindowFixture.h"

class TSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { FFixture = std::make_unique<TWindowFixture>(); }
    void cleanup() { FFixture.reset(); }

    void storedValuesAndTheirEffects_data();
    void storedValuesAndTheirEffects();
    void closingWritesTheOptionsAndKeepsTheRestOfTheFile_data();
    void closingWritesTheOptionsAndKeepsTheRestOfTheFile();
    void unusableSettingsFolderIsReportedAndWindowStillWorks();
    void orderOptionsReachTheFormatterAndAreSaved();
    void theToolReadsWhatTheWindowWrites();

private:
    std::unique_ptr<TWindowFixture> FFixture;
};

void TSettingsTest::storedValuesAndTheirEffects_data() {
    QTest::addColumn<QByteArray>("lines");  // the keys under [Settings]
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<QString>("wrapText");
    QTest::addColumn<int>("wrapWidth");
    QTest::newRow("zero unticks") << QByteArray("VerticalList=0\nAutoUpdate=0") << false << false << "80" << 80;
    QTest::newRow("other integers tick") << QByteArray("VerticalList=2\nAutoUpdate=-1") << true << true << "80" << 80;
    QTest::newRow("no integer: defaults") << QByteArray("VerticalList=yes\nAutoUpdate=") << true << true << "80" << 80;
    QTest::newRow("0x prefix read as hexadecimal") << QByteArray("VerticalList=0x0\nAutoUpdate=0X10") << false << true << "80" << 80;
    QTest::newRow("dollar prefix") << QByteArray("VerticalList=$0") << false << true << "80" << 80;
    QTest::newRow("keys ignore case") << QByteArray("verticallist=0\nAUTOUPDATE=0") << false << false << "80" << 80;
    QTest::newRow("empty width: formatter 80") << QByteArray("WordWrapAt=") << true << true << "" << 80;
    QTest::newRow("text width shown as stored") << QByteArray("WordWrapAt=abc") << true << true << "abc" << 80;
    QTest::newRow("zero width taken as stored") << QByteArray("WordWrapAt=0") << true << true << "0" << 0;
    QTest::newRow("negative width taken as stored") << QByteArray("WordWrapAt=-5") << true << true << "-5" << -5;
    QTest::newRow("hexadecimal width") << QByteArray("WordWrapAt=$20") << true << true << "$20" << 32;
}

void TSettingsTest::storedValuesAndTheirEffects() {
    QFETCH(QByteArray, lines);
    QFETCH(bool, vertical);
    QFETCH(bool, autoUpdate);
    QFETCH(QString, wrapText);
    QFETCH(int, wrapWidth);
    const QByteArray stored = "[Settings]\n" + lines + "\n";
    FFixture->WriteSettings(stored);
    auto window = FFixture->CreateWindow();
    QCOMPARE(window->chkUnitsVertical->isChecked(), vertical);
    QCOMPARE(window->chkAutoUpdateCheck->isChecked(), autoUpdate);
    QCOMPARE(window->edtUsesWordwrap->text(), wrapText);
    QCOMPARE(window->Formatter()->VerticalList(), vertical);
    QCOMPARE(window->Formatter()->WordWrapAt(), wrapWidth);
    // Loading runs no handler: nothing is written, logged or asked.
    QCOMPARE(FFixture->ReadSettings(), stored);
    QVERIFY(LogLines(*window).isEmpty());
    QVERIFY(FFixture->Dialogs.Errors.isEmpty() && FFixture->Dialogs.Messages.isEmpty());
}

void TSettingsTest::closingWritesTheOptionsAndKeepsTheRestOfTheFile_data() {
    QTest::addColumn<QByteArray>("before");  // null: no file
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file: section, then the keys in order")
        << QByteArray() << NewFileLines("[Settings]\nVerticalList=0\nAutoUpdate=1\nWordWrapAt=\nKeepFirstBuiltIn=1\n"
                                        "KeepFirst=\nKeepNameResolution=1\nKeepInitOrder=0\nUnitsPath=\nDefaultUnitsPath=1\n"
                                        "Groups=\nGroupSeparator=blank-line\nWriteUnitScopes=as-written\nUnitCase=as-written\nReportUnused=0\nRemoveUnused=0\nMoveToImplementation=0\n");
    QTest::newRow("comments, other sections and line breaks kept")
        << QByteArray("; Quorvel\r\n[Window]\r\nVerticalList=keep\r\n\r\n[settings]\r\nwordwrapat = 100\r\n; note\r\n"
                      "Extra=yes\r\n\r\n[Tail]\r\nX=1")
        << QByteArray("; Quorvel\r\n[Window]\r\nVerticalList=keep\r\n\r\n[settings]\r\nWordWrapAt=\r\n; note\r\n"
                      "Extra=yes\r\nVerticalList=0\r\nAutoUpdate=1\r\nKeepFirstBuiltIn=1\r\nKeepFirst=\r\n"
                      "KeepNameResolution=1\r\nKeepInitOrder=0\r\nUnitsPath=\r\nDefaultUnitsPath=1\r\nGroups=\r\n"
                      "GroupSeparator=blank-line\r\nWriteUnitScopes=as-written\r\nUnitCase=as-written\r\nReportUnused=0\r\nRemoveUnused=0\r\nMoveToImplementation=0\r\n\r\n[Tail]\r\nX=1");
}

void TSettingsTest::closingWritesTheOptionsAndKeepsTheRestOfTheFile() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isNull()) FFixture->WriteSettings(before);
    {
        auto window = FFixture->CreateWindow();
        window->chkUnitsVertical->setChecked(false);
        window->edtUsesWordwrap->clear();
    }
    QCOMPARE(FFixture->ReadSettings(), after);
}

// The folder cannot be made (a file stands where it should be): the error box,
// the layout's values, and the window otherwise set up as usual.
void TSettingsTest::unusableSettingsFolderIsReportedAndWindowStillWorks() {
    FFixture->WriteSettings("");
    const QString folder = QFileInfo(FFixture->SettingsPath()).absolutePath();
    QFile::remove(FFixture->SettingsPath());
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    auto window = FFixture->CreateWindow();
    QCOMPARE(FFixture->Dialogs.Errors.size(), 1);
    QVERIFY2(FFixture->Dialogs.Errors[0].contains(QDir::toNativeSeparators(folder)), qPrintable(FFixture->Dialogs.Errors[0]));
    QVERIFY(window->chkUnitsVertical->isChecked());
    QVERIFY(!window->chkAutoUpdateCheck->isChecked());
    QCOMPARE(window->edtUsesWordwrap->text(), QStringLiteral("80"));
    QCOMPARE(window->windowTitle(), QStringLiteral("Quorvel"));
    QVERIFY(window->SynOriginal->lexer() && window->SynFormatted->lexer());
}

// The order rules: stored values reach the controls and the formatter; a
// change in the window reaches the formatter and the file at once.
void TSettingsTest::orderOptionsReachTheFormatterAndAreSaved() {
    FFixture->WriteSettings("[Settings]\nKeepFirstBuiltIn=0\nKeepFirst= Mem1 ,,Mem2\nKeepNameResolution=0\n"
                            "UnitsPath=/a;/b\nUnitScopes=Vcl, System\n");
    auto window = FFixture->CreateWindow();
    const quorvel::TQuorvel& formatter = *window->Formatter();
    QVERIFY(!window->chkKeepFirst->isChecked() && !formatter.Options().KeepFirstBuiltIn);
    QVERIFY(!window->chkKeepNames->isChecked() && !formatter.Options().KeepNameResolution);
    QCOMPARE(formatter.Options().KeepFirstUnits, (std::vector<std::u16string>{u"Mem1", u"Mem2"}));
    QCOMPARE(formatter.Options().UnitScopeNames, (std::vector<std::u16string>{u"Vcl", u"System"}));
    QCOMPARE(window->edtUnitsPath->text(), QStringLiteral("/a;/b"));

    window->chkKeepNames->setChecked(true);
    window->edtKeepFirst->setText(QStringLiteral("Other"));
    emit window->edtKeepFirst->editingFinished();
    QVERIFY(formatter.Options().KeepNameResolution);
    QCOMPARE(formatter.Options().KeepFirstUnits, std::vector<std::u16string>{u"Other"});
    const QByteArray saved = FFixture->ReadSettings();
    QVERIFY2(saved.contains("KeepNameResolution=1\n") && saved.contains("KeepFirst=Other\n") &&
                 saved.contains("UnitScopes=Vcl, System\n"),
             saved.constData());
}

// The window's settings file serves as the tool's options file: what the
// window saves (its other sections and an empty width included) is read by
// the tool's strict reader into the options the window formats with, and a
// new window reads the same back.
void TSettingsTest::theToolReadsWhatTheWindowWrites() {
    FFixture->WriteSettings("; mine\n[Window]\nLeft=10\n\n[Settings]\nAutoUpdate=0\n");
    QTemporaryDir units;
    quorvel::TFormatOptions shown;
    {
        auto window = FFixture->CreateWindow();
        window->chkUnitsVertical->setChecked(false);
        window->edtUsesWordwrap->setText(QString());
        window->chkKeepFirst->setChecked(false);
        window->edtKeepFirst->setText(QStringLiteral(" Mem1, Mem2"));
        emit window->edtKeepFirst->editingFinished();
        window->edtUnitsPath->setText(units.path());
        emit window->edtUnitsPath->editingFinished();
        shown = window->Formatter()->Options();
    }
    const QByteArray saved = FFixture->ReadSettings();
    QVERIFY2(saved.startsWith("; mine\n[Window]\nLeft=10\n") && saved.contains("WordWrapAt=\n"), saved.constData());

    const quorvel::files::OptionSet read =
        quorvel::files::ReadOptionsFile(FFixture->SettingsPath().toStdU16String());
    QVERIFY(read.EngineOptions() == shown);
    QCOMPARE(read.UnitsPath(), std::vector<std::filesystem::path>{units.path().toStdU16String()});
    auto again = FFixture->CreateWindow();
    QVERIFY(again->Formatter()->Options() == shown);
    QCOMPARE(FFixture->ReadSettings(), saved);
}

QTEST_MAIN(TSettingsTest)
#include "SettingsTest.moc"
