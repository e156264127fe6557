#include "PlatformPaths.h"

#include <QDir>
#include <QFile>

QString SettingsBaseFolder() {
    if (!qEnvironmentVariableIsEmpty("APPDATA")) return qEnvironmentVariable("APPDATA");
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.config");
}

std::filesystem::path ToFsPath(const QString& APath) {
#ifdef _WIN32
    return std::filesystem::path(APath.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(APath).toStdString());
#endif
}

QString FromFsPath(const std::filesystem::path& APath) {
#ifdef _WIN32
    return QDir::toNativeSeparators(QString::fromStdWString(APath.native()));
#else
    return QFile::decodeName(QByteArray::fromStdString(APath.native()));
#endif
}
