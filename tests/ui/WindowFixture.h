#pragma once
// A main window on a temporary settings folder, with scripted dialogs and a
// temporary folder for source files.

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "FakeDialogs.h"
#include "FormMain.h"

class TWindowFixture {
public:
    // Points APPDATA at a fresh folder (no settings file yet) and shows the
    // window a computer with no compiler installed (QUORVEL_SYSTEM_ROOT).
    TWindowFixture();

    QString SettingsPath() const;
    void WriteSettings(const QByteArray& AContent);
    QByteArray ReadSettings() const;
    // Settings that keep the update check from running when the window is shown.
    void WriteQuietSettings() { WriteSettings("[Settings]\nAutoUpdate=0\n"); }

    // Writes a file under the source folder (folders made as needed); returns its path.
    QString WriteSource(const QString& ARelativePath, const QByteArray& ABytes) const;
    QString SourcePath(const QString& ARelativePath) const;
    QByteArray ReadSource(const QString& ARelativePath) const;

    std::unique_ptr<TFrmMain> CreateWindow() { return std::make_unique<TFrmMain>(Dialogs); }
    // Created and shown, as after start-up (drops are accepted from then on).
    std::unique_ptr<TFrmMain> CreateShownWindow();

    TFakeDialogs Dialogs;

private:
    QTemporaryDir FAppData;
    QTemporaryDir FNoCompilers;
    QTemporaryDir FSources;
};

// AText with the line breaks a new settings file gets: CR LF on Windows, LF elsewhere.
QByteArray NewFileLines(QByteArray AText);

// The log pane's lines.
QStringList LogLines(const TFrmMain& AWindow);
// The file list's items, in order.
QStringList ListedFiles(const TFrmMain& AWindow);
// Sends a drag and a drop of these local paths to the window, as the desktop would.
void DropPaths(TFrmMain& AWindow, const QStringList& APaths);
