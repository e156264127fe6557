#pragma once
// Everything about paths that differs between Windows, macOS and Linux.

#include <QString>
#include <filesystem>

// The folder that holds the program's settings folder: APPDATA when set, else
// XDG_CONFIG_HOME, else ~/.config.
QString SettingsBaseFolder();

// Conversions that keep file names exactly as the file system spells them.
std::filesystem::path ToFsPath(const QString& APath);
QString FromFsPath(const std::filesystem::path& APath);
