// Filling the file list: drops of files and folders, the folder browser, and
// listing errors.

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"

namespace {

QStringList Absolute(const TWindowFixture& AFixture, const QStringList& ARelative) {
    QStringList paths;
    for (const QString& path : ARelative) paths << QDir::toNativeSeparators(AFixture.SourcePath(path));
    return paths;
}

}  // namespace

class TIntakeTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { FFixture.reset(); }

    void dropAddsSourceFilesInDropOrder_data();
    void dropAddsSourceFilesInDropOrder();
    void dropAddsToTheListAndNeverTwice();
    void dropBeforeTheWindowIsShownIsRefused();
    void folderBrowserReplacesTheListOrCancels();
    void listingErrorGoesToTheErrorBox();

private:
    std::unique_ptr<TWindowFixture> FFixture;
};

// src/      A.pas  B.dpr  C.dpk  D.txt  E.pas.bak  sub/F.pas  Old.pas/G.pas
// other/    H.pas
// loose.pas  case.pas  CASE.pas (on Linux two files)
void TIntakeTest::init() {
    FFixture = std::make_unique<TWindowFixture>();
    FFixture->WriteQuietSettings();
    for (const char* path : {"src/A.pas", "src/B.dpr", "src/C.dpk", "src/D.txt", "src/E.pas.bak", "src/sub/F.pas",
                             "src/Old.pas/G.pas", "other/H.pas", "loose.pas", "case.pas"})
        FFixture->WriteSource(path, "unit X;\r\n");
}

void TIntakeTest::dropAddsSourceFilesInDropOrder_data() {
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("recursive");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("scanned");  // folders logged as "Scanning: "
    QTest::newRow("files, other endings ignored")
        << QStringList{"src/C.dpk", "src/A.pas", "src/D.txt", "src/E.pas.bak", "src/B.dpr"} << true
        << QStringList{"src/C.dpk", "src/A.pas", "src/B.dpr"} << QStringList{};
    QTest::newRow("folder: .pas, .dpr, .dpk, depth first; Old.pas is a folder")
        << QStringList{"src"} << true
        << QStringList{"src/A.pas", "src/Old.pas/G.pas", "src/sub/F.pas", "src/B.dpr", "src/C.dpk"} << QStringList{"src"};
    QTest::newRow("folder without subfolders") << QStringList{"src"} << false
                                               << QStringList{"src/A.pas", "src/B.dpr", "src/C.dpk"} << QStringList{"src"};
    QTest::newRow("folder named Old.pas dropped itself") << QStringList{"src/Old.pas"} << true
                                                         << QStringList{"src/Old.pas/G.pas"} << QStringList{"src/Old.pas"};
    QTest::newRow("folders and a file, in the drop's order")
        << QStringList{"other", "loose.pas", "src/sub"} << true << QStringList{"other/H.pas", "loose.pas", "src/sub/F.pas"}
        << QStringList{"other", "src/sub"};
    QTest::newRow("same file twice, and again inside a dropped folder")
        << QStringList{"src/A.pas", "src/A.pas", "src"} << false << QStringList{"src/A.pas", "src/B.dpr", "src/C.dpk"}
        << QStringList{"src"};
    QTest::newRow("only other endings") << QStringList{"src/D.txt"} << true << QStringList{} << QStringList{};
}

void TIntakeTest::dropAddsSourceFilesInDropOrder() {
    QFETCH(QStringList, dropped);
    QFETCH(bool, recursive);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, scanned);
    auto window = FFixture->CreateShownWindow();
    window->ChkRecursive->setChecked(recursive);
    DropPaths(*window, Absolute(*FFixture, dropped));

    QCOMPARE(ListedFiles(*window), Absolute(*FFixture, listed));
    QStringList scanLines;
    for (const QString& folder : Absolute(*FFixture, scanned)) scanLines << "Scanning: " + folder;
    QCOMPARE(LogLines(*window), scanLines);
    QCOMPARE(window->LblInfo->text(), QStringLiteral("%1 Datei(en) gefunden").arg(listed.size()));
    QCOMPARE(window->BtnFormat->isEnabled(), !listed.isEmpty());
    QVERIFY(FFixture->Dialogs.Errors.isEmpty());
}

void TIntakeTest::dropAddsToTheListAndNeverTwice() {
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, Absolute(*FFixture, {"src/A.pas"}));
    DropPaths(*window, Absolute(*FFixture, {"loose.pas", "src/A.pas"}));
    QStringList expected = Absolute(*FFixture, {"src/A.pas", "loose.pas"});
    // Two names that differ only in case: two files where the file system tells case apart.
#if defined(_WIN32) || defined(__APPLE__)
    DropPaths(*window, Absolute(*FFixture, {"LOOSE.PAS"}));
#else
    FFixture->WriteSource("CASE.pas", "unit X;\r\n");
    DropPaths(*window, Absolute(*FFixture, {"case.pas", "CASE.pas"}));
    expected << Absolute(*FFixture, {"case.pas", "CASE.pas"});
#endif
    QCOMPARE(ListedFiles(*window), expected);
    QCOMPARE(window->LblInfo->text(), QStringLiteral("%1 Datei(en) gefunden").arg(expected.size()));
}

void TIntakeTest::dropBeforeTheWindowIsShownIsRefused() {
    auto window = FFixture->CreateWindow();
    DropPaths(*window, Absolute(*FFixture, {"src/A.pas"}));
    QCOMPARE(window->LstFiles->count(), 0);
}

void TIntakeTest::folderBrowserReplacesTheListOrCancels() {
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, Absolute(*FFixture, {"loose.pas"}));
    FFixture->Dialogs.FolderAnswers = {FFixture->SourcePath("other"), std::nullopt};

    window->BtnScan->click();
    QCOMPARE(FFixture->Dialogs.FolderTitles, QStringList{"Select directory"});
    QCOMPARE(ListedFiles(*window), Absolute(*FFixture, {"other/H.pas"}));
    QCOMPARE(window->LblInfo->text(), QStringLiteral("1 file(s) found"));
    QVERIFY(window->BtnFormat->isEnabled());

    window->BtnScan->click();  // cancelled
    QCOMPARE(ListedFiles(*window), Absolute(*FFixture, {"other/H.pas"}));
    QCOMPARE(LogLines(*window), QStringList{"Scanning: " + Absolute(*FFixture, {"other"}).front()});
}

void TIntakeTest::listingErrorGoesToTheErrorBox() {
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, Absolute(*FFixture, {"loose.pas"}));
    const QString vanished = FFixture->SourcePath("vanished");
    FFixture->Dialogs.FolderAnswers = {vanished};

    window->BtnScan->click();
    QCOMPARE(FFixture->Dialogs.Errors.size(), 1);
    QVERIFY2(FFixture->Dialogs.Errors[0].contains("vanished"), qPrintable(FFixture->Dialogs.Errors[0]));
    QCOMPARE(LogLines(*window).last(), "Scanning: " + QDir::toNativeSeparators(vanished));
    // The scan ended at the error: the label keeps the drop's text.
    QCOMPARE(window->LblInfo->text(), QStringLiteral("1 Datei(en) gefunden"));
}

QTEST_MAIN(TIntakeTest)
#include "IntakeTest.moc"
