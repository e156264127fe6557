// "Updatecheck on start": the silent check runs when the window is first
// shown, and only when the box is ticked; it asks only when a newer version
// is published.

#include <QTest>

#include "FileVersion.h"
#include "LoopbackHttpServer.h"
#include "WindowFixture.h"

class TUpdateOnStartTest : public QObject {
    Q_OBJECT
private slots:
    void silentCheckWhenTheWindowIsShown_data();
    void silentCheckWhenTheWindowIsShown();
};

void TUpdateOnStartTest::silentCheckWhenTheWindowIsShown_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("published");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("requested");
    QTest::newRow("first start, newer published: asked") << QByteArray() << QByteArray("9.0.0.0") << true << true;
    QTest::newRow("ticked, same version: nothing shown") << QByteArray("[Settings]\nAutoUpdate=1\n")
                                                         << BuildVersionText(CompiledFileVersion()).toUtf8() << false << true;
    QTest::newRow("not ticked: no request") << QByteArray("[Settings]\nAutoUpdate=0\n") << QByteArray("9.0.0.0")
                                            << false << false;
}

void TUpdateOnStartTest::silentCheckWhenTheWindowIsShown() {
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, published);
    QFETCH(bool, asked);
    QFETCH(bool, requested);
    TWindowFixture fixture;
    if (!settings.isEmpty()) fixture.WriteSettings(settings);
    TLoopbackHttpServer server;
    server.Serve(HttpReply(200, "text/plain", published));
    qputenv("QUORVEL_UPDATE_URL", server.BaseAddress().toUtf8());

    auto window = fixture.CreateShownWindow();
    qunsetenv("QUORVEL_UPDATE_URL");

    QCOMPARE(fixture.Dialogs.UpdateQuestions.size(), asked ? 1 : 0);
    QCOMPARE(server.RequestedPaths.isEmpty(), !requested);
    QVERIFY(fixture.Dialogs.Messages.isEmpty());  // silent: no "current version" box
    QVERIFY(fixture.Dialogs.Errors.isEmpty());
}

QTEST_MAIN(TUpdateOnStartTest)
#include "UpdateOnStartTest.moc"
