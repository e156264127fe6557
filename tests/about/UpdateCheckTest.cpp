// The update check against a server on 127.0.0.1, with every box answered by
// TFakeDialogs.

#include <QFile>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTest>

#include "FakeDialogs.h"
#include "LoopbackHttpServer.h"
#include "ufrmAbout.h"

#ifdef _WIN32
#define NOMINMAX
#include <windows.h>
#endif

namespace {

// Wine's Schannel (built on GnuTLS) closes the connection where Windows reports
// the failed handshake: under Wine only the failure itself can be checked.
bool UnderWine() {
#ifdef _WIN32
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

const QString Failed = QStringLiteral("Update-check failed: \r\n");
const QString Current = QStringLiteral("You already have the current version (1.0.0.13).");

QString Question(const QString& ARemote, const QString& ALocal) {
    return QStringLiteral("Version %1 is available.\r\nYour version: %2\r\n\r\nShow downloadpage?").arg(ARemote, ALocal);
}

QByteArray PlainReply(const QByteArray& ABody) { return HttpReply(200, "text/plain", ABody); }

// A version padded with blanks to ASize bytes.
QByteArray PaddedVersion(qsizetype ASize) { return QByteArray("1.0.0.14").leftJustified(ASize, ' '); }

// The local version is the test's own, 1.0.0.13, so that the build's may change.
TAboutEnvironment Environment(bool AHasVersion, int APhaseTimeoutMs) {
    TAboutEnvironment environment;
    environment.ReadFileVersion = [AHasVersion] {
        return AHasVersion ? std::optional(TFileVersion{1, 0, 0, 13}) : std::optional<TFileVersion>();
    };
    environment.PhaseTimeoutMs = APhaseTimeoutMs;
    return environment;
}

}  // namespace

class TUpdateCheckTest : public QObject {
    Q_OBJECT
private slots:
    void check_data() {
        QTest::addColumn<QByteArray>("reply");  // empty: the server never answers
        QTest::addColumn<int>("redirects");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("hasVersion");
        QTest::addColumn<TUpdateAnswer>("answer");
        QTest::addColumn<QString>("question");  // empty: none asked
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("opensPage");
        const QString newer = Question("1.0.0.14", "1.0.0.13");
        const QStringList none;
        const auto yes = TUpdateAnswer::Yes, no = TUpdateAnswer::No;

        QTest::newRow("newer, Yes opens the page") << PlainReply("1.0.0.14") << 0 << false << true << yes << newer << none << true;
        QTest::newRow("newer, silent still asks") << PlainReply("1.0.0.14") << 0 << true << true << no << newer << none << false;
        QTest::newRow("newer, cancelled") << PlainReply("1.0.0.14") << 0 << false << true << TUpdateAnswer::Cancel << newer << none << false;
        QTest::newRow("newer, question not shown") << PlainReply("1.0.0.14") << 0 << false << true << TUpdateAnswer::NotShown << newer << none << false;
        QTest::newRow("newer, no local version") << PlainReply("1.0.0.14") << 0 << false << false << yes << Question("1.0.0.14", "") << none << true;
        QTest::newRow("equal") << PlainReply("1.0.0.13") << 0 << false << true << yes << "" << QStringList{Current} << false;
        QTest::newRow("equal, silent") << PlainReply("1.0.0.13") << 0 << true << true << yes << "" << none << false;
        QTest::newRow("older") << PlainReply("1.0.0.12") << 0 << false << true << yes << "" << QStringList{Current} << false;
        QTest::newRow("empty reply") << PlainReply("") << 0 << false << true << yes << "" << QStringList{Current} << false;
        QTest::newRow("both versions empty") << PlainReply("") << 0 << false << false << yes << ""
                                              << QStringList{"You already have the current version ()."} << false;
        QTest::newRow("BOM, blanks and CR LF around") << PlainReply("\xEF\xBB\xBF \t1.0.0.14\r\n") << 0 << false << true << yes << newer << none << true;
        QTest::newRow("second line stays part of the text") << PlainReply("1.0.1.0\r\nbeta\r\n") << 0 << false << true << yes
                                                             << Question("1.0.1.0\r\nbeta", "1.0.0.13") << none << true;
        QTest::newRow("charset in Content-Type") << HttpReply(200, "text/plain; charset=\"UTF-16LE\"",
                                                              QByteArray("\xFF\xFE" "1\0.\0" "0\0.\0" "0\0.\0" "1\0" "4\0", 18))
                                                  << 0 << false << true << yes << newer << none << true;
        QTest::newRow("unknown charset") << HttpReply(200, "text/plain; charset=x-no-such-set", "1.0.0.14") << 0 << false << true << yes << ""
                                         << QStringList{Failed + "The reply uses an unknown character set: x-no-such-set"} << false;
        QTest::newRow("unknown charset, silent") << HttpReply(200, "text/plain; charset=x-no-such-set", "1.0.0.14") << 0 << true << true << yes << "" << none << false;
        QTest::newRow("error status with an HTML body") << HttpReply(404, "text/html", "<html><body>1.0.0.14</body></html>") << 0 << false << true << yes << ""
                                                        << QStringList{Failed + "The server answered with HTTP status 404."} << false;
        QTest::newRow("error status, silent") << HttpReply(500, "text/html", "<html></html>") << 0 << true << true << yes << "" << none << false;
        QTest::newRow("five redirects followed") << PlainReply("1.0.0.14") << 5 << false << true << yes << newer << none << true;
        QTest::newRow("six redirects") << PlainReply("1.0.0.14") << 6 << false << true << yes << ""
                                       << QStringList{Failed + "The server redirected more than 5 times."} << false;
        QTest::newRow("body of 64 KiB") << PlainReply(PaddedVersion(64 * 1024)) << 0 << false << true << yes << newer << none << true;
        QTest::newRow("body over 64 KiB") << PlainReply(PaddedVersion(64 * 1024 + 1)) << 0 << false << true << yes << ""
                                          << QStringList{Failed + "The reply is larger than 65536 bytes."} << false;
        QTest::newRow("never answers") << QByteArray() << 0 << false << true << yes << ""
                                       << QStringList{Failed + "The server did not answer within 300 ms."} << false;
        QTest::newRow("never answers, silent") << QByteArray() << 0 << true << true << yes << "" << none << false;
    }
    void check() {
        QFETCH(QByteArray, reply);
        QFETCH(int, redirects);
        QFETCH(bool, silent);
        QFETCH(bool, hasVersion);
        QFETCH(TUpdateAnswer, answer);
        QFETCH(QString, question);
        QFETCH(QStringList, messages);
        QFETCH(bool, opensPage);
        TLoopbackHttpServer server;
        server.Serve(reply, redirects);
        qputenv("QUORVEL_UPDATE_URL", server.BaseAddress().toUtf8());
        TFakeDialogs dialogs;
        dialogs.UpdateAnswers = {answer};

        // Only a server that never answers has to wait for the time-out.
        TfrmAbout::CheckForUpdate(silent, dialogs, Environment(hasVersion, reply.isEmpty() ? 300 : 60000));

        QCOMPARE(server.RequestedPaths.value(0), QStringLiteral("/downloads/quorvel/version_quorvel.txt"));
        QCOMPARE(dialogs.Messages, messages);
        QCOMPARE(dialogs.UpdateQuestions.size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            const TUpdateQuestion& asked = dialogs.UpdateQuestions.first();
            QCOMPARE(asked.Caption, QStringLiteral("Launcher"));
            QCOMPARE(asked.Title, QStringLiteral("Update available"));
            QCOMPARE(asked.Text, question);
        }
        const QList<QUrl> page{QUrl(server.BaseAddress() + "/quorvel_en.php")};
        QCOMPARE(dialogs.OpenedUrls, opensPage ? page : QList<QUrl>());
    }

    // Failures before any reply: the failure message names the cause.
    void unreachable_data() {
        QTest::addColumn<QString>("address");  // "closed port": a loopback port nothing listens on
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("messageStart");  // empty: nothing shown
        QTest::newRow("nothing listens") << "closed port" << false << Failed;
        QTest::newRow("nothing listens, silent") << "closed port" << true << "";
        QTest::newRow("no web address") << "not a web address" << false << Failed + "No valid server address: not a web address";
    }
    void unreachable() {
        QFETCH(QString, address);
        QFETCH(bool, silent);
        QFETCH(QString, messageStart);
        if (address == "closed port") address = ClosedPortAddress();
        qputenv("QUORVEL_UPDATE_URL", address.toUtf8());
        TFakeDialogs dialogs;
        TfrmAbout::CheckForUpdate(silent, dialogs);
        QCOMPARE(dialogs.UpdateQuestions.size(), 0);
        QCOMPARE(dialogs.Messages.size(), messageStart.isEmpty() ? 0 : 1);
        if (!messageStart.isEmpty()) {
            QVERIFY2(dialogs.Messages.first().startsWith(messageStart), qPrintable(dialogs.Messages.first()));
            QVERIFY(dialogs.Messages.first().size() > Failed.size());  // a cause follows the prefix
        }
    }

    // TLS errors are never ignored: a self-signed certificate ends the check.
    // Were it accepted, this server would never answer and the check would time out.
    void untrustedCertificate() {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(QSslCertificate(TestFile("untrusted-cert.pem")));
        tls.setPrivateKey(QSslKey(TestFile("untrusted-key.pem"), QSsl::Ec));
        QSslServer server;
        server.setSslConfiguration(tls);
        QVERIFY(server.listen(QHostAddress::LocalHost));
        qputenv("QUORVEL_UPDATE_URL", QStringLiteral("https://127.0.0.1:%1").arg(server.serverPort()).toUtf8());
        TFakeDialogs dialogs;
        TfrmAbout::CheckForUpdate(false, dialogs, Environment(true, 5000));
        QCOMPARE(dialogs.UpdateQuestions.size(), 0);
        QCOMPARE(dialogs.Messages.size(), 1);
        const QString expected = UnderWine() ? Failed : Failed + "SSL handshake failed";
        QVERIFY2(dialogs.Messages.first().startsWith(expected), qPrintable(dialogs.Messages.first()));
    }

    void cleanup() { qunsetenv("QUORVEL_UPDATE_URL"); }

private:
    static QByteArray TestFile(const QString& AName) {
        QFile file(QFINDTESTDATA(AName));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QString ClosedPortAddress() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        return QStringLiteral("http://127.0.0.1:%1").arg(port);
    }
};

QTEST_MAIN(TUpdateCheckTest)
#include "UpdateCheckTest.moc"
