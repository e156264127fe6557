// Filling the file list: from a folder picked in the browser, or from files
// and folders dropped on the window.

#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QUrl>

#include <unordered_set>

#include "Dialogs.h"
#include "FolderListing.h"
#include "FormMain.h"
#include "PlatformPaths.h"
#include "SystemAccess.h"

namespace files = quorvel::files;

namespace {

// The dropped local files and folders, in the order of the drop.
QStringList DroppedPaths(const QMimeData* AData) {
    QStringList paths;
    if (!AData) return paths;
    for (const QUrl& url : AData->urls())
        if (url.isLocalFile()) paths << QDir::toNativeSeparators(url.toLocalFile());
    return paths;
}

}  // namespace

void TFrmMain::BtnScanClick() {
    const auto folder = FDialogs.PickFolder(this, QStringLiteral("Select directory"));
    if (!folder) return;
    LstFiles->clear();
    ScanFolder(QDir::toNativeSeparators(*folder));
}

void TFrmMain::ScanFolder(const QString& APath) {
    const bool recursive = ChkRecursive->isChecked();
    Log(QStringLiteral("Scanning: ") + APath);
    // A subfolder that cannot be opened adds nothing, but says so.
    const auto logUnreadable = [this](const std::filesystem::path& AFolder) {
        Log(QStringLiteral("Cannot open folder \"%1\": its files are not listed").arg(FromFsPath(AFolder)));
    };
    QStringList found;
    for (const auto& file : files::ListSourceFiles(ToFsPath(APath), recursive, logUnreadable)) found << FromFsPath(file);
    AppendToFileList(found);
    LblInfo->setText(QStringLiteral("%1 file(s) found").arg(LstFiles->count()));
    UpdateFormatButton();
}

void TFrmMain::WMDropFiles(const QStringList& APaths) {
    // Files are appended in runs, so a large drop does not compare each file with the whole list.
    QStringList pendingFiles;
    for (const QString& path : APaths) {
        if (QFileInfo(path).isDir()) {
            AppendToFileList(pendingFiles);
            pendingFiles.clear();
            ScanFolder(path);
        } else if (files::HasSourceFileExtension(ToFsPath(path))) {
            pendingFiles << path;
        }
    }
    AppendToFileList(pendingFiles);
    LblInfo->setText(QStringLiteral("%1 Datei(en) gefunden").arg(LstFiles->count()));
    UpdateFormatButton();
}

void TFrmMain::SetDropEnabled(bool AEnabled) {
    FDropEnabled = AEnabled;
    setAcceptDrops(AEnabled);
}

void TFrmMain::AppendToFileList(const QStringList& APaths) {
    if (APaths.isEmpty()) return;
    // One file is listed once, named as the batch run tells files apart.
    const auto identity = [](const QString& APath) { return quorvel::files::platform::PathIdentity(ToFsPath(APath)); };
    std::unordered_set<std::filesystem::path::string_type> listed;
    for (int row = 0; row < LstFiles->count(); ++row) listed.insert(identity(LstFiles->item(row)->text()));
    QStringList added;
    for (const QString& path : APaths)
        if (listed.insert(identity(path)).second) added << path;
    LstFiles->addItems(added);
}

void TFrmMain::UpdateFormatButton() { BtnFormat->setEnabled(LstFiles->count() > 0); }

void TFrmMain::dragEnterEvent(QDragEnterEvent* AEvent) {
    if (FDropEnabled && !DroppedPaths(AEvent->mimeData()).isEmpty()) AEvent->acceptProposedAction();
}

void TFrmMain::dragMoveEvent(QDragMoveEvent* AEvent) {
    if (FDropEnabled) AEvent->acceptProposedAction();
}

void TFrmMain::dropEvent(QDropEvent* AEvent) {
    if (!FDropEnabled) return;
    const QStringList paths = DroppedPaths(AEvent->mimeData());
    if (paths.isEmpty()) return;
    AEvent->acceptProposedAction();
    RunGuarded([this, &paths] { WMDropFiles(paths); });
}
