// The preview of one file, the log, and the option controls.

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <Qsci/qsciscintilla.h>

#include "FormMain.h"
#include "IntegerText.h"
#include "FileError.h"
#include "LineChanges.h"
#include "PathText.h"
#include "PlatformPaths.h"
#include "QuorvelCore.h"
#include "SourceCodec.h"
#include "SourceView.h"
#include "TextColour.h"
#include "TextConvert.h"
#include "UnitCatalog.h"
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
        quorvel::TQuorvel formatter = *FFormatter;
        const auto catalog = files::AttachUnitCatalog(
            formatter, {{ToFsPath(QFileInfo(APath).absolutePath())}, UnitsPathFolders()});
        const std::u16string formatted = formatter.F_FormatSource(source);
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

namespace {

// "a;b" or "a, b" -> the trimmed, non-empty pieces.
QStringList Pieces(const QString& AText, QChar ASeparator) {
    QStringList pieces;
    for (const QString& piece : AText.split(ASeparator)) {
        if (!piece.trimmed().isEmpty()) pieces.append(piece.trimmed());
    }
    return pieces;
}

}  // namespace

void TFrmMain::OrderOptionChange() {
    ApplyOrderOptions();
    SaveSettings();
    LstFilesClick();
}

void TFrmMain::ApplyOrderOptions() {
    FFormatter->SetKeepFirstBuiltIn(chkKeepFirst->isChecked());
    std::vector<std::u16string> names;
    for (const QString& name : Pieces(edtKeepFirst->text(), u',')) names.push_back(name.toStdU16String());
    FFormatter->SetKeepFirstUnits(names);
    FFormatter->SetKeepNameResolution(chkKeepNames->isChecked());
    if (!FUnitScopeNames.empty()) FFormatter->SetUnitScopeNames(FUnitScopeNames);
}

std::vector<std::filesystem::path> TFrmMain::UnitsPathFolders() const {
    std::vector<std::filesystem::path> folders;
    for (const QString& folder : Pieces(edtUnitsPath->text(), u';')) folders.push_back(ToFsPath(folder));
    return folders;
}

void TFrmMain::chkAutoUpdateCheckClick() {
    SaveSettings();
    if (chkAutoUpdateCheck->isChecked()) TfrmAbout::CheckForUpdate(false, FDialogs);
}

void TFrmMain::HandleSkipBlock(const std::u16string& AMsg) { Log(ToQString(AMsg)); }
