// The About dialog: its texts, the version label, links, keys and pictures.

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <stdexcept>

#include "FakeDialogs.h"
#include "LinkTextBox.h"
#include "LoopbackHttpServer.h"
#include "ufrmAbout.h"

namespace {

std::optional<TFileVersion> ShippedVersion() { return TFileVersion{1, 0, 0, 13}; }
std::optional<TFileVersion> NoVersion() { return std::nullopt; }

}  // namespace

class TAboutDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(FFolder.isValid());
        // Written at local midnight, so the date text is the date alone.
        QFile program(ProgramPath());
        QVERIFY(program.open(QIODevice::WriteOnly) && program.write("x") == 1 && program.flush());
        QVERIFY(program.setFileTime(QDateTime(QDate(2024, 1, 15), QTime(0, 0)), QFileDevice::FileModificationTime));
    }

    void descriptionLines() {
        qputenv("QUORVEL_UPDATE_URL", "https://vendor.example");
        TFakeDialogs dialogs;
        TfrmAbout dialog(nullptr, dialogs);
        const QStringList expected = {
            "Quorvel v1.0",
            "",
            "A lightweight utility for formatting 'uses' clauses in ",
            "Delphi / RAD Studio Pascal source files.",
            "",
            "Features:",
            "  \u2022 Sorts all units alphabetically",
            "  \u2022 Places each unit on its own line",
            "  \u2022 Processes both interface and implementation sections ",
            "separately",
            "  \u2022 Preserves inline comments (//)",
            "  \u2022 Automatic encoding detection (ANSI / UTF-8)",
            "  \u2022 Optional .bak backup before formatting",
            "",
            "Usage:",
            "Drag & Drop a folder or individual .pas / .dpr / .dpk ",
            "files onto the window, or use \"Select folder\" to browse. ",
            "Click a file to preview the changes before  applying them. ",
            "Use \"Format uses\" to write the changes to disk.",
            "",
            "Downloads and updates: https://vendor.example",
        };
        QCOMPARE(Description(dialog).toPlainText().split(u'\n'), expected);
        QCOMPARE(dialog.findChild<QLabel*>("lblAppname")->text(), QStringLiteral("Quorvel"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("About"));
    }

    void versionLabel_data() {
        QTest::addColumn<bool>("hasVersion");
        QTest::addColumn<QString>("caption");
        QTest::newRow("version 1.0.0.13") << true << "App-Version:  1.0.0\r\nFile-Version: 1.0.0.13 | 15.01.24";
        QTest::newRow("no version") << false << "App-Version:  \r\nFile-Version:  | 15.01.24";
    }
    void versionLabel() {
        QFETCH(bool, hasVersion);
        QFETCH(QString, caption);
        TFakeDialogs dialogs;
        TfrmAbout dialog(nullptr, dialogs, Environment(hasVersion ? ShippedVersion : NoVersion));
        QLabel* label = dialog.findChild<QLabel*>("lblVersion");
        QCOMPARE(label->text(), QStringLiteral("lblVersion"));
        dialog.FormShow();
        QCOMPARE(label->text(), caption);
    }

    void eachShowingReadsTheVersionAnew() {
        int reads = 0;
        const TVersionSource counting = [&reads] {
            ++reads;
            return std::optional(TFileVersion{1, 0, 0, static_cast<std::uint16_t>(reads)});
        };
        TFakeDialogs dialogs;
        QStringList captions;
        for (int showing = 0; showing < 2; ++showing) {
            CloseWhenShown([&captions](TfrmAbout& AShown) {
                captions << AShown.findChild<QLabel*>("lblVersion")->text().section(u'|', 0, 0);
            });
            TfrmAbout::ShowInfo(nullptr, dialogs, Environment(counting));
        }
        // Two reads per showing: the application and the build version.
        QCOMPARE(captions, (QStringList{"App-Version:  1.0.0\r\nFile-Version: 1.0.0.2 ",
                                        "App-Version:  1.0.0\r\nFile-Version: 1.0.0.4 "}));
    }

    void missingProgramFileLeavesNoDialog() {
        TFakeDialogs dialogs;
        TAboutEnvironment environment = Environment(ShippedVersion);
        environment.ExecutablePath = FFolder.filePath("gone");
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, TfrmAbout::ShowInfo(nullptr, dialogs, environment));
        for (QWidget* window : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TfrmAbout*>(window));
    }

    void linkOpensOnRelease_data() {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("opens");
        QTest::newRow("left") << Qt::LeftButton << true;
        QTest::newRow("right") << Qt::RightButton << true;
        QTest::newRow("middle") << Qt::MiddleButton << false;
    }
    void linkOpensOnRelease() {
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, opens);
        qputenv("QUORVEL_UPDATE_URL", "https://vendor.example");
        TFakeDialogs dialogs;
        TfrmAbout dialog(nullptr, dialogs, Environment(ShippedVersion));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QWidget* viewport = Description(dialog).viewport();
        const QPoint link = LinkPosition(Description(dialog), "https://vendor.example");

        QTest::mousePress(viewport, button, {}, link);
        QCOMPARE(dialogs.OpenedUrls.size(), 0);  // a press alone opens nothing
        QTest::mouseRelease(viewport, button, {}, link);
        QCOMPARE(dialogs.OpenedUrls, opens ? QList<QUrl>{QUrl("https://vendor.example")} : QList<QUrl>());
    }

    void keys() {
        TFakeDialogs dialogs;
        TfrmAbout dialog(nullptr, dialogs, Environment(ShippedVersion));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* close = dialog.findChild<QPushButton*>("btnClose");
        auto* updateCheck = dialog.findChild<QPushButton*>("btnUpdateCheck");
        QCOMPARE(QApplication::focusWidget(), close);

        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());

        // Tab runs between the two buttons only; the description takes no focus.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), updateCheck);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), close);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog.isVisible());
    }

    void updateButtonRunsAReportingCheck() {
        TLoopbackHttpServer server;
        server.Serve(HttpReply(200, "text/plain", "1.0.0.13"));
        qputenv("QUORVEL_UPDATE_URL", server.BaseAddress().toUtf8());
        TFakeDialogs dialogs;
        TfrmAbout dialog(nullptr, dialogs, Environment(ShippedVersion));
        QTest::mouseClick(dialog.findChild<QPushButton*>("btnUpdateCheck"), Qt::LeftButton);
        QCOMPARE(dialogs.Messages, QStringList{"You already have the current version (1.0.0.13)."});
    }

    void pictures_data() {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QSize>("size");
        QTest::newRow("application glyph") << ":/about/app-glyph.png" << QSize(1254, 1254);
        QTest::newRow("About button's i") << ":/about/info-i.png" << QSize(18, 38);
    }
    void pictures() {
        QFETCH(QString, resource);
        QFETCH(QSize, size);
        const QImage picture(resource);
        QCOMPARE(picture.size(), size);
        QVERIFY(picture.hasAlphaChannel());
    }

    void cleanup() { qunsetenv("QUORVEL_UPDATE_URL"); }

private:
    QString ProgramPath() const { return FFolder.filePath("Quorvel"); }

    TAboutEnvironment Environment(const TVersionSource& ASource) const {
        TAboutEnvironment environment;
        environment.ReadFileVersion = ASource;
        environment.ExecutablePath = ProgramPath();
        return environment;
    }

    static TLinkTextBox& Description(TfrmAbout& ADialog) {
        return *ADialog.findChild<TLinkTextBox*>("richeditDescription");
    }

    // The middle of AText's first character in the box's viewport.
    static QPoint LinkPosition(TLinkTextBox& ABox, const QString& AText) {
        QTextCursor cursor = ABox.document()->find(AText);
        cursor.setPosition(cursor.selectionStart() + 1);
        return ABox.cursorRect(cursor).center();
    }

    // Runs AInspect on the About dialog once it is on screen, then closes it.
    static void CloseWhenShown(std::function<void(TfrmAbout&)> AInspect) {
        QTimer::singleShot(0, [AInspect] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                auto* shown = qobject_cast<TfrmAbout*>(window);
                if (!shown || !shown->isVisible()) continue;
                AInspect(*shown);
                shown->close();
            }
        });
    }

    QTemporaryDir FFolder;
};

QTEST_MAIN(TAboutDialogTest)
#include "AboutDialogTest.moc"
