// "Apply preview to files": the run over the listed files from the window,
// its log, what it writes, the backup question and the preview afterwards.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include "QuorvelCore.h"
#include "WindowFixture.h"

namespace {

const QString Unsorted = u"unit U;\r\n\r\ninterface\r\n\r\nuses Windows, Classes, SysUtils; // café\r\n\r\nimplementation\r\n\r\nend.\r\n"_qs;
const QString Sorted = QStringLiteral("unit S;\r\n\r\ninterface\r\n\r\nimplementation\r\n\r\nend.\r\n");
const QString WithDirective =
    QStringLiteral("unit D;\r\n\r\ninterface\r\n\r\nuses\r\n  B,\r\n{$IFDEF X}\r\n  A,\r\n{$ENDIF}\r\n  C;\r\n\r\nimplementation\r\n\r\nend.\r\n");
const QString BackupWarning = u"No backups will be created \u2014 files will be overwritten directly. Continue?"_qs;

QString Formatted(const QString& AText) {
    const quorvel::TQuorvel formatter;
    const std::u16string text(reinterpret_cast<const char16_t*>(AText.utf16()), AText.size());
    const std::u16string result = formatter.F_FormatSource(text);
    return QString(reinterpret_cast<const QChar*>(result.data()), qsizetype(result.size()));
}

QByteArray Utf16(const QString& AText, bool ABigEndian) {
    QByteArray bytes = ABigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar unit : AText) {
        const char high = char(unit.unicode() >> 8), low = char(unit.unicode() & 0xFF);
        bytes += ABigEndian ? QByteArray{&high, 1} + QByteArray{&low, 1} : QByteArray{&low, 1} + QByteArray{&high, 1};
    }
    return bytes;
}

QByteArray Utf8WithMark(const QString& AText) { return "\xEF\xBB\xBF" + AText.toUtf8(); }

}  // namespace

class TRunTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        FFixture = std::make_unique<TWindowFixture>();
        FFixture->WriteQuietSettings();
    }
    void cleanup() { FFixture.reset(); }

    void runRewritesChangedFilesInTheirOwnEncoding();
    void backupsOffAsksFirst_data();
    void backupsOffAsksFirst();
    void emptyListIsToldAndNothingRuns();
    void selectedFileIsShownAsTheRunLeftIt();

private:
    // Drops the source folder on a shown window.
    std::unique_ptr<TFrmMain> WindowWithFolder();
    std::unique_ptr<TWindowFixture> FFixture;
};

std::unique_ptr<TFrmMain> TRunTest::WindowWithFolder() {
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, {FFixture->SourcePath("src")});
    return window;
}

void TRunTest::runRewritesChangedFilesInTheirOwnEncoding() {
    struct TFile {
        const char* Name;
        QByteArray Before;
        QByteArray After;  // null: left as it was
    };
    const QList<TFile> files = {
        {"a_utf8.pas", Utf8WithMark(Unsorted), Utf8WithMark(Formatted(Unsorted))},
        {"b_utf16le.pas", Utf16(Unsorted, false), Utf16(Formatted(Unsorted), false)},
        {"c_utf16be.pas", Utf16(Unsorted, true), Utf16(Formatted(Unsorted), true)},
        {"d_ansi.pas", Unsorted.toLatin1(), Formatted(Unsorted).toLatin1()},
        {"e_same.pas", Sorted.toLatin1(), {}},
        {"f_skip.pas", WithDirective.toLatin1(), {}},
        {"g_bad.pas", QByteArray("\xEF\xBB\xBFunit \xC3\x28;\r\nuses B, A;\r\n"), {}},
        {"h_gone.pas", Sorted.toLatin1(), {}},
    };
    for (const TFile& file : files) FFixture->WriteSource(QStringLiteral("src/") + file.Name, file.Before);
    auto window = WindowWithFolder();
    QCOMPARE(window->LstFiles->count(), files.size());
    QFile::remove(FFixture->SourcePath("src/h_gone.pas"));

    window->BtnFormat->click();

    QStringList log = LogLines(*window);
    QCOMPARE(log.size(), 16);  // the scan line, then the run: 15 lines
    QCOMPARE(log[1], QString());
    QVERIFY2(QRegularExpression(R"(^=== Starting format: \d\d\.\d\d\.\d{4} \d\d.\d\d.\d\d ===$)").match(log[2]).hasMatch(),
             qPrintable(log[2]));
    QCOMPARE(log.mid(3, 7), (QStringList{"  [OK] a_utf8.pas", "  [OK] b_utf16le.pas", "  [OK] c_utf16be.pas",
                                          "  [OK] d_ansi.pas", "  [=] e_same.pas",
                                          u"  [SKIP] interface uses \u2014 contains compiler directives"_qs, "  [=] f_skip.pas"}));
    QVERIFY2(log[10].startsWith("  [!!] g_bad.pas: "), qPrintable(log[10]));
    QVERIFY2(log[11].startsWith("  [!!] h_gone.pas: "), qPrintable(log[11]));
    QCOMPARE(log.mid(12), (QStringList{"", "Done: 4 changed, 2 unchanged, 2 errors",
                                       "No source found for 3 units named in clauses", "=== End ==="}));
    for (const TFile& file : files) {
        const QString path = QStringLiteral("src/") + file.Name;
        if (QStringLiteral("h_gone.pas") == file.Name) continue;
        QCOMPARE(FFixture->ReadSource(path), file.After.isNull() ? file.Before : file.After);
        QCOMPARE(QFileInfo::exists(FFixture->SourcePath(path + ".bak")), !file.After.isNull());
        if (!file.After.isNull()) QCOMPARE(FFixture->ReadSource(path + ".bak"), file.Before);
    }
    QVERIFY(window->BtnFormat->isEnabled());
    QVERIFY(!window->PrgRun->isVisible());
    QCOMPARE(window->PrgRun->value(), files.size());
    QVERIFY(window->SynOriginal->text().isEmpty());  // nothing was selected: no preview
}

void TRunTest::backupsOffAsksFirst_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes: runs without backups") << true;
    QTest::newRow("No: nothing logged or written") << false;
}

void TRunTest::backupsOffAsksFirst() {
    QFETCH(bool, answer);
    const QByteArray before = Unsorted.toLatin1();
    FFixture->WriteSource("src/U.pas", before);
    auto window = WindowWithFolder();
    window->ChkBackup->setChecked(false);
    FFixture->Dialogs.WarningAnswers = {answer};
    const QStringList logBefore = LogLines(*window);

    window->BtnFormat->click();
    QCOMPARE(FFixture->Dialogs.Warnings, QStringList{BackupWarning});
    QCOMPARE(FFixture->ReadSource("src/U.pas") != before, answer);
    QVERIFY(!QFileInfo::exists(FFixture->SourcePath("src/U.pas.bak")));
    if (answer)
        QCOMPARE(LogLines(*window).last(), QStringLiteral("=== End ==="));
    else
        QCOMPARE(LogLines(*window), logBefore);
    QVERIFY(window->BtnFormat->isEnabled());
}

void TRunTest::emptyListIsToldAndNothingRuns() {
    auto window = FFixture->CreateShownWindow();
    window->BtnFormat->setEnabled(true);  // as after a browser whose folder vanished
    window->BtnFormat->click();
    QCOMPARE(FFixture->Dialogs.Messages, QStringList{"No files to format."});
    QVERIFY(LogLines(*window).isEmpty());
}

void TRunTest::selectedFileIsShownAsTheRunLeftIt() {
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, {FFixture->WriteSource("src/U.pas", Unsorted.toLatin1())});
    window->LstFiles->setCurrentRow(0);
    QCOMPARE(window->lblFormatted->palette().color(QPalette::WindowText), QColor(255, 0, 0));

    window->BtnFormat->click();
    QCOMPARE(LogLines(*window).first(), QString());  // the run's first line is empty, also in an empty log
    QCOMPARE(window->SynOriginal->text(), Formatted(Unsorted));
    QCOMPARE(window->SynFormatted->text(), Formatted(Unsorted));
    QCOMPARE(window->lblFormatted->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(LogLines(*window).last(), QStringLiteral("=== End ==="));
}

QTEST_MAIN(TRunTest)
#include "RunTest.moc"
