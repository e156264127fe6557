// The settings file's reader and writer keep every line they were not told to change.

#include <QTemporaryDir>
#include <QTest>

#include "IniFile.h"

namespace {

QByteArray ReadAll(const QString& APath) {
    QFile file(APath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& APath, const QByteArray& AContent) {
    QFile file(APath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(AContent);
}

}  // namespace

class TIniFileTest : public QObject {
    Q_OBJECT
private slots:
    void readsValues_data();
    void readsValues();
    void writesOnlyTheGivenKey_data();
    void writesOnlyTheGivenKey();
    void missingFileReadsAsEmptyAndIsCreated();
    void failedSaveLeavesTheFileAlone();
};

void TIniFileTest::readsValues_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");  // a null QString: the key is missing
    const QByteArray file = "\xEF\xBB\xBF; comment=1\r\n[Other]\r\nA=other\r\n[ settings ]\r\n"
                            "  A  =  spaced value  \r\nB=\r\n;C=commented\r\nD=x=y\r\n[Last]\r\nE=last";
    QTest::newRow("surrounding blanks removed") << file << "A" << "spaced value";
    QTest::newRow("key in any case") << file << "a" << "spaced value";
    QTest::newRow("empty value is present") << file << "B" << "";
    QTest::newRow("commented key is missing") << file << "C" << QString();
    QTest::newRow("value keeps its own '='") << file << "D" << "x=y";
    QTest::newRow("key of another section is missing") << file << "E" << QString();
    QTest::newRow("section line after a byte-order mark") << QByteArray("\xEF\xBB\xBF[Settings]\nA=1") << "A" << "1";
    QTest::newRow("no such section") << QByteArray("[Other]\nA=1\n") << "A" << QString();
}

void TIniFileTest::readsValues() {
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QTemporaryDir folder;
    WriteAll(folder.filePath("a.ini"), content);
    TIniFile ini;
    QVERIFY(ini.Load(folder.filePath("a.ini")));
    const auto read = ini.ReadString("Settings", key);
    QCOMPARE(read.has_value(), !value.isNull());
    if (read) QCOMPARE(*read, value);
}

void TIniFileTest::writesOnlyTheGivenKey_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("existing key replaced in place, CR LF kept")
        << QByteArray("; keep me\r\n[Settings]\r\nwordwrapat = 100\r\nOther=1\r\n\r\n[Next]\r\nX=1\r\n") << "WordWrapAt" << "90"
        << QByteArray("; keep me\r\n[Settings]\r\nWordWrapAt=90\r\nOther=1\r\n\r\n[Next]\r\nX=1\r\n");
    QTest::newRow("new key after the section's last line, before its blank lines")
        << QByteArray("[Settings]\nA=1\n\n[Next]\nX=1") << "B" << "2"
        << QByteArray("[Settings]\nA=1\nB=2\n\n[Next]\nX=1");
    QTest::newRow("new section at the end of a file without a final break")
        << QByteArray("[Other]\nX=1") << "A" << "1" << QByteArray("[Other]\nX=1\n[Settings]\nA=1\n");
    QTest::newRow("new key at the end of the last section")
        << QByteArray("[Settings]\r\nA=1") << "B" << "" << QByteArray("[Settings]\r\nA=1\r\nB=\r\n");
    QTest::newRow("a line break in the value cannot split the line")
        << QByteArray("[Settings]\n") << "A" << "1\n[Evil]" << QByteArray("[Settings]\nA=1 [Evil]\n");
}

void TIniFileTest::writesOnlyTheGivenKey() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QTemporaryDir folder;
    const QString path = folder.filePath("a.ini");
    WriteAll(path, before);
    TIniFile ini;
    QVERIFY(ini.Load(path));
    ini.WriteString("Settings", key, value);
    QVERIFY(ini.Save(path));
    QCOMPARE(ReadAll(path), after);
}

void TIniFileTest::missingFileReadsAsEmptyAndIsCreated() {
    QTemporaryDir folder;
    const QString path = folder.filePath("new.ini");
    TIniFile ini;
    QVERIFY(ini.Load(path));
    QVERIFY(!ini.ReadString("Settings", "A"));
    ini.WriteString("Settings", "VerticalList", "1");
    ini.WriteString("Settings", "AutoUpdate", "1");
    ini.WriteString("Settings", "WordWrapAt", "80");
    QVERIFY(ini.Save(path));
#ifdef _WIN32
    QCOMPARE(ReadAll(path), QByteArray("[Settings]\r\nVerticalList=1\r\nAutoUpdate=1\r\nWordWrapAt=80\r\n"));
#else
    QCOMPARE(ReadAll(path), QByteArray("[Settings]\nVerticalList=1\nAutoUpdate=1\nWordWrapAt=80\n"));
#endif
}

void TIniFileTest::failedSaveLeavesTheFileAlone() {
    QTemporaryDir folder;
    TIniFile ini;
    ini.WriteString("Settings", "A", "1");
    QVERIFY(!ini.Save(folder.filePath("no such folder/a.ini")));
    QVERIFY(QDir().mkpath(folder.filePath("taken.ini")));
    QVERIFY(!ini.Save(folder.filePath("taken.ini")));
    QVERIFY(!ini.Load(folder.filePath("taken.ini")));  // a folder cannot be read as a file
}

QTEST_APPLESS_MAIN(TIniFileTest)
#include "IniFileTest.moc"
