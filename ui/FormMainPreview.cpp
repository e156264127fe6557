// The preview of one file, the log, and the option controls.

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <Qsci/qsciscintilla.h>

#include "Dialogs.h"
#include "FileError.h"
#include "FormMain.h"
#include "IntegerText.h"
#include "LineChanges.h"
#include "PathText.h"
#include "PlatformPaths.h"
#include "QuorvelCore.h"
#include "SourceCodec.h"
#include "SourceFormatter.h"
#include "SourceView.h"
#include "TextColour.h"
#include "TextConvert.h"
#include "ufrmAbout.h"

namespace files = quorvel::files;

void TFrmMain::ShowPreview(const QString& APath) {
    if (APath.isEmpty()) return;
    if (!QFileInfo(APath).isFile()) {
        Log(QStringLiteral("File not found: ") + APath);
        return;
    }
    try {
        const files::Bytes bytes = files::ReadFileBytes(ToFsPath(APath));
        if (bytes.empty()) return;
        std::u16string source;
        try {
            source = files::DecodePreviewText(bytes);
        } catch (const files::ContentError& error) {
            throw error.ForFile(ToFsPath(APath));  // the log then says which file
        }
        const std::filesystem::path file = ToFsPath(APath);
        const std::filesystem::path folder = ToFsPath(QFileInfo(APath).absolutePath());
        files::ProjectLookup projects;
        const files::SourceFormatter formatter(
            {FFormatter->Options(), TableOptions().UnitsPath(), TableOptions().DefaultUnitsPath()}, {folder},
            quorvel::files::NeedsCatalog(FFormatter->Options()) ? projects.For(folder) : nullptr);
        const std::u16string formatted = formatter.Format(source, file, [this](const quorvel::TClauseNote& ANote) {
            HandleSkipBlock(quorvel::F_ClauseNoteLine(ANote));
        });
        SetSourceText(*SynOriginal, ToQString(source));
        SetSourceText(*SynFormatted, ToQString(formatted));
        MarkChangedLines(*SynFormatted, ChangedLines(source, formatted));
        // Named as the run's log lines name it.
        const QString name = ToQString(std::u16string(files::FileNameOfPath(ToU16View(APath))));
        LblOriginal->setText(QStringLiteral("Original: ") + name);
        lblFormatted->setText(QStringLiteral("Formatted: ") + name);
        SetTextColour(lblFormatted, formatted == source ? Lime : Red);
    } catch (const std::exception& error) {
        Log(QStringLiteral("Error reading: ") + QString::fromUtf8(error.what()));
    }
}

void TFrmMain::Log(const QString& AMsg) {
    // An empty document cannot tell "no line yet" from "one empty line", and
    // appendPlainText takes it for the former: put the lost line back.
    const bool emptyLineLost = FLogStarted && MmoLog->document()->isEmpty();
    MmoLog->appendPlainText(emptyLineLost ? u'\n' + AMsg : AMsg);
    FLogStarted = true;
    MmoLog->moveCursor(QTextCursor::End);
}

void TFrmMain::LstFilesClick() {
    if (QListWidgetItem* item = LstFiles->currentItem()) ShowPreview(item->text());
}

void TFrmMain::LstFilesMouseMove(int X, int Y) {
    const QListWidgetItem* item = LstFiles->itemAt(X, Y);
    LstFiles->viewport()->setToolTip(item ? item->text() : QString());
}

void TFrmMain::chkUnitsVerticalClick() {
    FFormatter->SetVerticalList(chkUnitsVertical->isChecked());
    LstFilesClick();
}

void TFrmMain::edtUsesWordwrapChange() {
    const auto width = quorvel::ParseIntegerText(ToU16View(edtUsesWordwrap->text()));
    if (width && *width > 0) FFormatter->SetWordWrapAt(*width);
}

void TFrmMain::OrderOptionChange() {
    ApplyOrderOptions();
    SaveSettings();
    LstFilesClick();
}

quorvel::files::OptionSet TFrmMain::TableOptions() const {
    quorvel::files::OptionSet options;
    for (const TOptionControl& control : FOptionControls) {
        if (control.Check) options.Set(*control.Row, control.Check->isChecked());
        // Typed text is read leniently: a folder that is not there yet is
        // reported by the preview, names and folders have no invalid form.
        if (control.Edit)
            options.SetText(*control.Row, ToU16View(control.Edit->text()), {.BaseFolder = {}, .FoldersMustExist = false});
        // A group the engine cannot read is passed over there until it is typed whole.
        if (control.Lines) {
            std::vector<std::u16string> groups;
            for (const QString& line : control.Lines->toPlainText().split(u'\n'))
                quorvel::files::AppendNames(ToU16View(line), groups);
            options.Set(*control.Row, std::move(groups));
        }
        if (control.Choice) options.Set(*control.Row, static_cast<std::int32_t>(control.Choice->currentIndex()));
    }
    return quorvel::files::OptionSet::Overlay(options, FStoredOptions);
}

// The layout stays as its own controls set it; the order rules come from the table's.
void TFrmMain::ApplyOrderOptions() {
    quorvel::TFormatOptions options = TableOptions().EngineOptions();
    options.PreserveComments = FFormatter->PreserveComments();
    options.VerticalList = FFormatter->VerticalList();
    options.WordWrapAt = FFormatter->WordWrapAt();
    FFormatter->SetOptions(std::move(options));
}

void TFrmMain::BrowseFolderClick(QLineEdit* AEdit) {
    const auto folder = FDialogs.PickFolder(this, QStringLiteral("Select directory"));
    if (!folder) return;
    const QString text = AEdit->text().trimmed();
    AEdit->setText(text.isEmpty() || text.endsWith(u';') ? text + *folder : text + u';' + *folder);
    OrderOptionChange();
}

void TFrmMain::chkAutoUpdateCheckClick() {
    SaveSettings();
    if (chkAutoUpdateCheck->isChecked()) TfrmAbout::CheckForUpdate(false, FDialogs);
}

void TFrmMain::HandleSkipBlock(const std::u16string& AMsg) { Log(ToQString(AMsg)); }
