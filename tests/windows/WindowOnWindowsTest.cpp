// The window as a Windows user meets it, driven through the real main window
// on Windows' own Qt platform (under Wine in `make test-windows`): the update
// check on first start, a dropped folder previewed and applied with the same
// result as quorvel-cli.exe, the options kept in %APPDATA%\Quorvel\Quorvel.ini
// for the next start, and what the program files carry (version, manifest,
// icon) as the About dialog and Windows read it.

#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <Qsci/qsciscintilla.h>

#include "LoopbackHttpServer.h"
#include "VersionResource.h"
#include "WindowFixture.h"
#include "ufrmAbout.h"

// Last: its CreateWindow macro would rename the fixture's method.
#define NOMINMAX
#include <windows.h>

namespace {

const QByteArray Unsorted = "unit U;\r\ninterface\r\nuses Windows, Classes, SysUtils; { caf\xE9 }\r\nimplementation\r\nend.\r\n";

// Every file below AFolder (backups too) with its bytes, by relative path.
QMap<QString, QByteArray> FolderContents(const QString& AFolder) {
    QMap<QString, QByteArray> contents;
    QDirIterator files(AFolder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", qPrintable(path));
        contents.insert(QDir(AFolder).relativeFilePath(path), file.readAll());
    }
    return contents;
}

// The bytes of resource AName of type AType in the program file APath; empty
// when it has none.
QByteArray ProgramResource(const QString& APath, const wchar_t* AType, const wchar_t* AName) {
    const HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(APath).utf16()),
                                          nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) return {};
    QByteArray bytes;
    if (const HRSRC found = FindResourceW(module, AName, AType))
        if (const HGLOBAL loaded = LoadResource(module, found))
            bytes = QByteArray(static_cast<const char*>(LockResource(loaded)), int(SizeofResource(module, found)));
    FreeLibrary(module);
    return bytes;
}

}  // namespace

class TWindowOnWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { FFixture = std::make_unique<TWindowFixture>(); }
    void cleanup() { FFixture.reset(); }

    void firstStartAsksAboutANewerVersionFromTheServer();
    void droppedFolderIsPreviewedAndAppliedAsTheToolDoesIt();
    void optionsAreKeptInAppDataForTheNextStart();
    void aboutShowsTheVersionResource();
    void manifestDeclares_data();
    void manifestDeclares();
    void programFileCarriesIconAndVersion();

private:
    std::unique_ptr<TWindowFixture> FFixture;
};

void TWindowOnWindowsTest::firstStartAsksAboutANewerVersionFromTheServer() {
    TLoopbackHttpServer server;
    server.Serve(HttpReply(200, "text/plain", "9.0.0.0"), 1);
    qputenv("QUORVEL_UPDATE_URL", server.BaseAddress().toUtf8());
    FFixture->Dialogs.UpdateAnswers = {TUpdateAnswer::Yes};

    auto window = FFixture->CreateShownWindow();
    qunsetenv("QUORVEL_UPDATE_URL");

    QCOMPARE(server.RequestedPaths.size(), 2);  // the redirect, then the version file
    QCOMPARE(FFixture->Dialogs.UpdateQuestions.size(), 1);
    QVERIFY2(FFixture->Dialogs.UpdateQuestions[0].Text.contains(QStringLiteral("1.0.0.13")),
             qPrintable(FFixture->Dialogs.UpdateQuestions[0].Text));
    QCOMPARE(FFixture->Dialogs.OpenedUrls.size(), 1);  // Yes opens the download page
    QVERIFY(FFixture->Dialogs.Errors.isEmpty());
}

void TWindowOnWindowsTest::droppedFolderIsPreviewedAndAppliedAsTheToolDoesIt() {
    FFixture->WriteQuietSettings();
    const QList<std::pair<QString, QByteArray>> sources = {
        {"ansi.pas", Unsorted},  // code page 1252
        {"utf8.pas", "\xEF\xBB\xBFunit V;\ninterface\nuses Zeta, {kept} Beta, Alpha;\nimplementation\nend.\n"},
        {"sub/utf16.pas", QByteArray("\xFF\xFEu\0s\0e\0s\0 \0Q\0,\0 \0P\0;\0\n\0", 22)},
        {"sub/P.dpr", "program P;\nuses B, {$IFDEF X} C, {$ENDIF} A;\nbegin\nend.\n"},
        {"Sorted.pas", "unit S;\ninterface\nuses\n  A,\n  B;\nimplementation\nend.\n"},
    };
    for (const auto& [name, bytes] : sources) {
        FFixture->WriteSource("window/" + name, bytes);
        FFixture->WriteSource("tool/" + name, bytes);
    }
    auto window = FFixture->CreateShownWindow();
    DropPaths(*window, {FFixture->SourcePath("window")});
    QCOMPARE(window->LstFiles->count(), sources.size());

    const QList<QListWidgetItem*> ansi = window->LstFiles->findItems(QStringLiteral("ansi.pas"), Qt::MatchEndsWith);
    QCOMPARE(ansi.size(), 1);
    window->LstFiles->setCurrentItem(ansi[0]);
    QCOMPARE(window->SynOriginal->text(), QString::fromLatin1(Unsorted));  // read in the ANSI code page
    QVERIFY(window->SynFormatted->text() != window->SynOriginal->text());
    QVERIFY(window->SynFormatted->text().contains(u"caf\u00E9"));

    window->BtnFormat->click();
    QCOMPARE(LogLines(*window).last(), QStringLiteral("=== End ==="));

    QProcess tool;
    tool.start(QStringLiteral(QUORVEL_CLI_PATH), {QStringLiteral("--backup"), FFixture->SourcePath("tool")});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    const QMap<QString, QByteArray> byWindow = FolderContents(FFixture->SourcePath("window"));
    QCOMPARE(byWindow, FolderContents(FFixture->SourcePath("tool")));
    QVERIFY(byWindow.contains(QStringLiteral("ansi.pas.bak")));
    QCOMPARE(byWindow.value(QStringLiteral("ansi.pas.bak")), Unsorted);
}

void TWindowOnWindowsTest::optionsAreKeptInAppDataForTheNextStart() {
    FFixture->WriteQuietSettings();
    {
        auto window = FFixture->CreateShownWindow();
        window->chkUnitsVertical->setChecked(false);
        window->edtUsesWordwrap->setText(QStringLiteral("77"));
        window->close();
    }
    // %APPDATA%\Quorvel\Quorvel.ini; the fixture points APPDATA at its own folder.
    const QByteArray written = FFixture->ReadSettings();
    QVERIFY2(written.contains("VerticalList=0") && written.contains("WordWrapAt=77"), written.constData());

    auto next = FFixture->CreateShownWindow();
    QVERIFY(!next->chkUnitsVertical->isChecked());
    QCOMPARE(next->edtUsesWordwrap->text(), QStringLiteral("77"));
}

void TWindowOnWindowsTest::aboutShowsTheVersionResource() {
    TFakeDialogs dialogs;
    TfrmAbout dialog(nullptr, dialogs);
    dialog.FormShow();
    const QString caption = dialog.findChild<QLabel*>("lblVersion")->text();
    QVERIFY2(caption.startsWith(QStringLiteral("App-Version:  1.0.0\r\nFile-Version: 1.0.0.13 | ")), qPrintable(caption));
    // Read from the file, not compiled in: a program file without the resource has no version.
    QVERIFY(!ReadVersionResource(QStringLiteral(QUORVEL_CLI_PATH)).has_value());
}

void TWindowOnWindowsTest::manifestDeclares_data() {
    QTest::addColumn<QByteArray>("setting");
    QTest::newRow("per-monitor DPI awareness")
        << QByteArray("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2</dpiAwareness>");
    QTest::newRow("DPI awareness before Windows 10") << QByteArray(">true/pm</dpiAware>");
    QTest::newRow("long paths") << QByteArray(">true</longPathAware>");
}

void TWindowOnWindowsTest::manifestDeclares() {
    QFETCH(QByteArray, setting);
    // CREATEPROCESS_MANIFEST_RESOURCE_ID of type RT_MANIFEST, where Windows looks.
    const QByteArray manifest = ProgramResource(QStringLiteral(QUORVEL_EXE_PATH), MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));
    QVERIFY2(manifest.contains(setting), manifest.constData());
    QVERIFY(!manifest.contains("<activeCodePage"));  // files without a mark stay in the system's ANSI code page
}

void TWindowOnWindowsTest::programFileCarriesIconAndVersion() {
    const QString program = QStringLiteral(QUORVEL_EXE_PATH);
    QVERIFY(!ProgramResource(program, MAKEINTRESOURCEW(14), L"IDI_ICON1").isEmpty());  // RT_GROUP_ICON
    QCOMPARE(BuildVersionText(ReadVersionResource(program)), QStringLiteral("1.0.0.13"));
}

QTEST_MAIN(TWindowOnWindowsTest)
#include "WindowOnWindowsTest.moc"
