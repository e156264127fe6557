// The options in the settings file, section "Settings": VerticalList,
// AutoUpdate and WordWrapAt for the layout and the update check;
// KeepFirstBuiltIn, KeepFirst, KeepNameResolution and UnitsPath for the order
// rules; UnitScopes (comma-separated) only when the user wrote it there.

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalBlocker>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "FormMain.h"
#include "IniFile.h"
#include "IntegerText.h"
#include "PlatformPaths.h"
#include "QuorvelCore.h"
#include "TextConvert.h"

namespace {

const QString Section = QStringLiteral("Settings");
const QString VerticalListKey = QStringLiteral("VerticalList");
const QString AutoUpdateKey = QStringLiteral("AutoUpdate");
const QString WordWrapAtKey = QStringLiteral("WordWrapAt");
const QString KeepFirstBuiltInKey = QStringLiteral("KeepFirstBuiltIn");
const QString KeepFirstKey = QStringLiteral("KeepFirst");
const QString KeepNameResolutionKey = QStringLiteral("KeepNameResolution");
const QString UnitsPathKey = QStringLiteral("UnitsPath");
const QString UnitScopesKey = QStringLiteral("UnitScopes");
const QString DefaultWordWrap = QStringLiteral("80");
constexpr std::int32_t FallbackWordWrap = 80;

// A stored boolean: an integer other than 0 is true, 0 is false; anything
// else (a missing key included) gives the default. "0x" counts as a hex prefix.
bool BooleanSetting(const std::optional<QString>& AStored, bool ADefault) {
    QString text = AStored.value_or(QString());
    if (text.size() > 2 && text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) text.replace(0, 2, u'$');
    const auto value = quorvel::ParseIntegerText(ToU16View(text));
    return value ? *value != 0 : ADefault;
}

QString Flag(bool AValue) { return AValue ? QStringLiteral("1") : QStringLiteral("0"); }

void CreateFolder(const QString& AFolder) {
    std::error_code error;
    std::filesystem::create_directories(ToFsPath(AFolder), error);
    if (error)
        throw std::runtime_error("Unable to create the folder " + QDir::toNativeSeparators(AFolder).toStdString() +
                                 ": " + error.message());
}

}  // namespace

QString TFrmMain::GetSettingsFileName() const {
    return QDir::toNativeSeparators(SettingsBaseFolder() + QStringLiteral("/Quorvel/Quorvel.ini"));
}

void TFrmMain::LoadSettings() {
    const QString path = GetSettingsFileName();
    CreateFolder(QFileInfo(path).absolutePath());
    TIniFile settings;
    settings.Load(path);  // unreadable reads as missing: every key takes its default

    // Setting the controls from code must not save, check for updates or preview.
    const QSignalBlocker verticalBlocker(chkUnitsVertical);
    const QSignalBlocker wrapBlocker(edtUsesWordwrap);
    const QSignalBlocker updateBlocker(chkAutoUpdateCheck);
    const QSignalBlocker keepFirstBlocker(chkKeepFirst);
    const QSignalBlocker keepNamesBlocker(chkKeepNames);
    chkUnitsVertical->setChecked(BooleanSetting(settings.ReadString(Section, VerticalListKey), true));
    chkAutoUpdateCheck->setChecked(BooleanSetting(settings.ReadString(Section, AutoUpdateKey), true));
    edtUsesWordwrap->setText(settings.ReadString(Section, WordWrapAtKey).value_or(DefaultWordWrap));
    chkKeepFirst->setChecked(BooleanSetting(settings.ReadString(Section, KeepFirstBuiltInKey), true));
    edtKeepFirst->setText(settings.ReadString(Section, KeepFirstKey).value_or(QString()));
    chkKeepNames->setChecked(BooleanSetting(settings.ReadString(Section, KeepNameResolutionKey), true));
    edtUnitsPath->setText(settings.ReadString(Section, UnitsPathKey).value_or(QString()));
    // Kept only when stored: the engine's default list stays current otherwise.
    FUnitScopeNames.clear();
    if (const auto scopes = settings.ReadString(Section, UnitScopesKey)) {
        for (const QString& name : scopes->split(u',', Qt::SkipEmptyParts))
            if (!name.trimmed().isEmpty()) FUnitScopeNames.push_back(name.trimmed().toStdU16String());
    }
    ApplyOrderOptions();
    FFormatter->SetVerticalList(chkUnitsVertical->isChecked());
    // Zero and negative widths are taken as stored; only typing refuses them.
    FFormatter->SetWordWrapAt(
        quorvel::ParseIntegerText(ToU16View(edtUsesWordwrap->text())).value_or(FallbackWordWrap));
}

void TFrmMain::SaveSettings() {
    const QString path = GetSettingsFileName();
    const auto unableToWrite = [&path] { return std::runtime_error("Unable to write to " + path.toStdString()); };
    TIniFile settings;
    // A file that exists but cannot be read is not replaced: its other content would be lost.
    if (!settings.Load(path)) throw unableToWrite();
    settings.WriteString(Section, VerticalListKey, Flag(chkUnitsVertical->isChecked()));
    settings.WriteString(Section, AutoUpdateKey, Flag(chkAutoUpdateCheck->isChecked()));
    settings.WriteString(Section, WordWrapAtKey, edtUsesWordwrap->text());
    settings.WriteString(Section, KeepFirstBuiltInKey, Flag(chkKeepFirst->isChecked()));
    settings.WriteString(Section, KeepFirstKey, edtKeepFirst->text());
    settings.WriteString(Section, KeepNameResolutionKey, Flag(chkKeepNames->isChecked()));
    settings.WriteString(Section, UnitsPathKey, edtUnitsPath->text());
    if (!settings.Save(path)) throw unableToWrite();
}
