// The standard error box's text, the application title, and the visual style
// looked up by name at start-up.

#include <QApplication>
#include <QFileInfo>
#include <QStyle>
#include <QTest>

#include "FakeDialogs.h"
#include "QuorvelApplication.h"
#include "StandardBoxTexts.h"
#include "VisualStyle.h"

class TStartupTest : public QObject {
    Q_OBJECT
private slots:
    void errorBoxAppendsAFullStopAfterLaterCharacters_data();
    void errorBoxAppendsAFullStopAfterLaterCharacters();
    void applicationTitleIsQuorvelWhateverTheExecutableIsCalled();
    void styleFoundIgnoringCase_data();
    void styleFoundIgnoringCase();
    void missingStyleIsReportedAndStandardLookStays();
    void errorEscapingAnEventGoesToTheErrorBoxAndTheProgramGoesOn();
};

namespace {

// An object whose handling of every event fails.
class TFailingObject final : public QObject {
public:
    bool event(QEvent*) override { throw std::runtime_error("Cannot open C:\\x"); }
};

}  // namespace

void TStartupTest::errorBoxAppendsAFullStopAfterLaterCharacters_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << "Unable to write to /x/Quorvel.ini" << "Unable to write to /x/Quorvel.ini.";
    QTest::newRow("full stop") << "Done." << "Done.";
    QTest::newRow("slash, just above the full stop") << "/x/" << "/x/.";
    QTest::newRow("dash, just below the full stop") << "a -" << "a -";
    QTest::newRow("closing quote") << "Style 'Jet'" << "Style 'Jet'";
    QTest::newRow("non-ASCII letter") << u"Größe"_qs << u"Größe."_qs;
    QTest::newRow("empty") << "" << "";
}

void TStartupTest::errorBoxAppendsAFullStopAfterLaterCharacters() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    TFakeDialogs dialogs;
    ShowErrorBox(dialogs, message);
    QCOMPARE(dialogs.Errors, QStringList{shown});
}

// This executable is ui_startup_tests; the boxes it shows must still read "Quorvel".
void TStartupTest::applicationTitleIsQuorvelWhateverTheExecutableIsCalled() {
    QCOMPARE(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(), u"ui_startup_tests"_qs);
    QCOMPARE(QApplication::applicationName(), u"Quorvel"_qs);
}

void TStartupTest::styleFoundIgnoringCase_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("as stored") << "Jet";
    QTest::newRow("lower case") << "jet";
    QTest::newRow("upper case") << "JET";
}

void TStartupTest::styleFoundIgnoringCase() {
    QFETCH(QString, name);
    TFakeDialogs dialogs;
    ApplyStartupStyle(dialogs, name);
    QVERIFY(dialogs.Errors.isEmpty());
    QVERIFY(!qApp->styleSheet().isEmpty());
    // Dark: the window colour is far darker than its text.
    QVERIFY(QApplication::palette().color(QPalette::Window).lightness() < 80);
    QVERIFY(QApplication::palette().color(QPalette::WindowText).lightness() > 180);
}

void TStartupTest::missingStyleIsReportedAndStandardLookStays() {
    qApp->setStyleSheet(QString());
    QApplication::setPalette(QApplication::style()->standardPalette());
    const QPalette before = QApplication::palette();
    TFakeDialogs dialogs;
    ApplyStartupStyle(dialogs, "Jetty");
    QCOMPARE(dialogs.Errors, QStringList{"Style 'Jetty' not found."});
    QCOMPARE(QApplication::palette(), before);
    QVERIFY(qApp->styleSheet().isEmpty());
}

void TStartupTest::errorEscapingAnEventGoesToTheErrorBoxAndTheProgramGoesOn() {
    auto* application = static_cast<TQuorvelApplication*>(qApp);
    TFakeDialogs dialogs;
    application->SetDialogs(&dialogs);
    TFailingObject failing;
    QEvent event(QEvent::User);
    QCOMPARE(QCoreApplication::sendEvent(&failing, &event), false);
    QCOMPARE(dialogs.Errors, QStringList{"Cannot open C:\\x."});
    application->SetDialogs(nullptr);
}

// The program's own application object, so that an error escaping an event reaches its error box.
int main(int argc, char* argv[]) {
    TQuorvelApplication application(argc, argv);
    TStartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartupTest.moc"
