// The options in the settings file, section "Settings": VerticalList,
// AutoUpdate and WordWrapAt for the layout and the update check, then the
// keys of the option table's controls; keys without a control (UnitScopes)
// are read when the user wrote them there, and never written.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
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
const QString DefaultWordWrap = QStringLiteral("80");
constexpr std::int32_t FallbackWordWrap = 80;

QString KeyOf(const quorvel::files::OptionRow& ARow) { return QString::fromStdU16String(std::u16string(ARow.Key)); }

bool HasOwnControl(const quorvel::files::OptionRow& ARow) {
    return ARow.Key == u"VerticalList" || ARow.Key == u"AutoUpdate" || ARow.Key == u"WordWrapAt";
}

// A stored boolean: an integer other than 0 is true, 0 is false; anything
// else (a missing key included) gives the default. "0x" counts as a hex prefix.
bool BooleanSetting(const std::optional<QString>& AStored, bool ADefault) {
    QString text = AStored.value_or(QString());
    if (text.size() > 2 && text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) text.replace(0, 2, u'$');
    const auto value = quorvel::ParseIntegerText(ToU16View(text));
    return value ? *value != 0 : ADefault;
}

// The groups of the settings file ("a,b;c") one a line, and back.
QString GroupsAsLines(const QString& AStored) {
    std::vector<std::u16string> groups;
    quorvel::files::AppendNames(ToU16View(AStored), groups);
    QStringList lines;
    for (const std::u16string& group : groups) lines.append(QString::fromStdU16String(group));
    return lines.join(u'\n');
}

QString GroupsAsStored(const QString& ALines) {
    std::vector<std::u16string> groups;
    for (const QString& line : ALines.split(u'\n')) quorvel::files::AppendNames(ToU16View(line), groups);
    QStringList stored;
    for (const std::u16string& group : groups) stored.append(QString::fromStdU16String(group));
    return stored.join(u',');
}

// The index of a stored word of a Choice row; the default (0) for any other text.
int ChoiceIndex(const quorvel::files::OptionRow& ARow, const std::optional<QString>& AStored) {
    if (!AStored) return 0;
    try {
        const auto value = quorvel::files::ParseOptionValue(ARow, ToU16View(*AStored), {});
        return value ? std::get<std::int32_t>(*value) : 0;
    } catch (const quorvel::files::OptionError&) {
        return 0;
    }
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
    chkUnitsVertical->setChecked(BooleanSetting(settings.ReadString(Section, VerticalListKey), true));
    chkAutoUpdateCheck->setChecked(BooleanSetting(settings.ReadString(Section, AutoUpdateKey), true));
    edtUsesWordwrap->setText(settings.ReadString(Section, WordWrapAtKey).value_or(DefaultWordWrap));
    for (const TOptionControl& control : FOptionControls) {
        const std::optional<QString> stored = settings.ReadString(Section, KeyOf(*control.Row));
        const QSignalBlocker checkBlocker(control.Check);
        const QSignalBlocker editBlocker(control.Edit);
        const QSignalBlocker linesBlocker(control.Lines);
        const QSignalBlocker choiceBlocker(control.Choice);
        if (control.Check) control.Check->setChecked(BooleanSetting(stored, control.Row->Default == u"1"));
        if (control.Edit)
            control.Edit->setText(stored.value_or(QString::fromStdU16String(std::u16string(control.Row->Default))));
        if (control.Lines) control.Lines->setPlainText(GroupsAsLines(stored.value_or(QString())));
        if (control.Choice) control.Choice->setCurrentIndex(ChoiceIndex(*control.Row, stored));
    }
    LoadStoredOptions(settings);
    ApplyOrderOptions();
    FFormatter->SetVerticalList(chkUnitsVertical->isChecked());
    // Zero and negative widths are taken as stored; only typing refuses them.
    FFormatter->SetWordWrapAt(
        quorvel::ParseIntegerText(ToU16View(edtUsesWordwrap->text())).value_or(FallbackWordWrap));
}

// Values the window cannot show are read as the tool reads them; one it
// cannot read is passed over, as a stored value of a control would be.
void TFrmMain::LoadStoredOptions(const TIniFile& ASettings) {
    FStoredOptions = {};
    for (const quorvel::files::OptionRow& row : quorvel::files::OptionTable()) {
        if (HasOwnControl(row) || !row.Label.empty()) continue;
        const std::optional<QString> stored = ASettings.ReadString(Section, KeyOf(row));
        if (!stored) continue;
        try {
            FStoredOptions.SetText(row, ToU16View(*stored), {.BaseFolder = {}, .FoldersMustExist = false});
        } catch (const quorvel::files::OptionError&) {
        }
    }
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
    for (const TOptionControl& control : FOptionControls) {
        QString value;
        if (control.Check) value = Flag(control.Check->isChecked());
        if (control.Edit) value = control.Edit->text();
        if (control.Lines) value = GroupsAsStored(control.Lines->toPlainText());
        if (control.Choice) value = control.Choice->currentText();
        settings.WriteString(Section, KeyOf(*control.Row), value);
    }
    if (!settings.Save(path)) throw unableToWrite();
}
