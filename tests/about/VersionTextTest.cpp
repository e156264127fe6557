// The version texts and the program file's date text.

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <stdexcept>

#include "ExecutableDate.h"
#include "FileVersion.h"
#include "QuorvelVersion.h"
#include "ufrmAbout.h"

Q_DECLARE_METATYPE(std::optional<TFileVersion>)

class TVersionTextTest : public QObject {
    Q_OBJECT
private slots:
    void versionTexts_data() {
        QTest::addColumn<std::optional<TFileVersion>>("version");
        QTest::addColumn<QString>("appText");
        QTest::addColumn<QString>("buildText");
        QTest::newRow("shipped") << std::optional(TFileVersion{1, 0, 0, 13}) << "1.0.0" << "1.0.0.13";
        QTest::newRow("unsigned 16-bit fields") << std::optional(TFileVersion{65535, 65535, 65535, 65535})
                                                << "65535.65535.65535" << "65535.65535.65535.65535";
        QTest::newRow("zeros are written") << std::optional(TFileVersion{2, 0, 0, 0}) << "2.0.0" << "2.0.0.0";
        QTest::newRow("no version") << std::optional<TFileVersion>() << "" << "";
    }
    void versionTexts() {
        QFETCH(std::optional<TFileVersion>, version);
        QFETCH(QString, appText);
        QFETCH(QString, buildText);
        QCOMPARE(AppVersionText(version), appText);
        QCOMPARE(BuildVersionText(version), buildText);
    }

    // The compiled-in numbers are the project version of the build.
    void buildVersionIsTheProjectVersion() {
        QCOMPARE(TfrmAbout::BuildVersion(), QStringLiteral(QUORVEL_BUILD_VERSION_TEXT));
    }

    // Run with TZ=Europe/Berlin: summer dates are two hours ahead of UTC,
    // winter dates one, whatever the date of the test run.
    void dateText_data() {
        QTest::addColumn<QDateTime>("modifiedUtc");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<QString>("expected");
        const auto utc = [](int AMonth, int ADay, int AHour, int AMinute, int ASecond, int AMs = 0) {
            return QDateTime(QDate(2024, AMonth, ADay), QTime(AHour, AMinute, ASecond, AMs), Qt::UTC);
        };
        QTest::newRow("winter") << utc(1, 15, 12, 30, 5) << false << "15.01.24 13:30:05";
        QTest::newRow("summer time of that date") << utc(7, 15, 12, 0, 0) << false << "15.07.24 14:00:00";
        QTest::newRow("exact midnight: date alone") << utc(1, 14, 23, 0, 0) << false << "15.01.24";
        QTest::newRow("a millisecond after midnight") << utc(1, 14, 23, 0, 0, 1) << false << "15.01.24 00:00:00";
        QTest::newRow("link followed to its target") << utc(1, 15, 12, 30, 5) << true << "15.01.24 13:30:05";
    }
    void dateText() {
        QFETCH(QDateTime, modifiedUtc);
        QFETCH(bool, throughLink);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        const QString program = folder.filePath(QStringLiteral("Quorvel"));
        QVERIFY(WriteFileModifiedAt(program, modifiedUtc));
        QString path = program;
        if (throughLink) {
#ifdef _WIN32
            QSKIP("Windows makes a shortcut file here, which no program is started through");
#endif
            path = folder.filePath(QStringLiteral("link"));
            if (!QFile::link(program, path)) QSKIP("no symbolic links here");
        }
        const QString text = ExecutableDateText(path, QLocale(QLocale::German, QLocale::Germany));
        // The long time format may end in a zone name.
        QVERIFY2(text == expected || text.startsWith(expected + u' '), qPrintable(text));
    }

    void dateTextOfMissingFileThrows() {
        QTemporaryDir folder;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, ExecutableDateText(folder.filePath(QStringLiteral("gone"))));
    }

private:
    static bool WriteFileModifiedAt(const QString& APath, const QDateTime& AModified) {
        QFile file(APath);
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1 && file.flush() &&
               file.setFileTime(AModified, QFileDevice::FileModificationTime);
    }
};

QTEST_GUILESS_MAIN(TVersionTextTest)
#include "VersionTextTest.moc"
