#include "WindowFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

TWindowFixture::TWindowFixture() {
    qputenv("APPDATA", FAppData.path().toLocal8Bit());
    qputenv("QUORVEL_SYSTEM_ROOT", FNoCompilers.path().toLocal8Bit());
}

QString TWindowFixture::SettingsPath() const { return FAppData.path() + QStringLiteral("/Quorvel/Quorvel.ini"); }

void TWindowFixture::WriteSettings(const QByteArray& AContent) {
    QDir().mkpath(QFileInfo(SettingsPath()).absolutePath());
    QFile file(SettingsPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(AContent);
}

QByteArray TWindowFixture::ReadSettings() const {
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TWindowFixture::SourcePath(const QString& ARelativePath) const { return FSources.filePath(ARelativePath); }

QString TWindowFixture::WriteSource(const QString& ARelativePath, const QByteArray& ABytes) const {
    const QString path = SourcePath(ARelativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ABytes) != ABytes.size()) qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray TWindowFixture::ReadSource(const QString& ARelativePath) const {
    QFile file(SourcePath(ARelativePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<TFrmMain> TWindowFixture::CreateShownWindow() {
    auto window = CreateWindow();
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) qWarning("window not exposed");
    return window;
}

QByteArray NewFileLines(QByteArray AText) {
#ifdef _WIN32
    AText.replace("\n", "\r\n");
#endif
    return AText;
}

QStringList LogLines(const TFrmMain& AWindow) {
    const QString text = AWindow.MmoLog->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

QStringList ListedFiles(const TFrmMain& AWindow) {
    QStringList items;
    for (int row = 0; row < AWindow.LstFiles->count(); ++row) items << AWindow.LstFiles->item(row)->text();
    return items;
}

void DropPaths(TFrmMain& AWindow, const QStringList& APaths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : APaths) urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at(600, 40);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&AWindow, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&AWindow, &drop);
}
