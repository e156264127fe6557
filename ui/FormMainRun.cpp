// The batch run: every listed file formatted and written back, one log line
// each, while the window shows progress and takes no other input.

#include <QCheckBox>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <thread>

#include "BackgroundRun.h"
#include "BatchRun.h"
#include "Dialogs.h"
#include "FormMain.h"
#include "PlatformPaths.h"
#include "RunFeed.h"

namespace files = quorvel::files;

void TFrmMain::BtnFormatClick() {
    if (LstFiles->count() == 0) {
        FDialogs.ShowMessage(QStringLiteral("No files to format."));
        return;
    }
    if (!ChkBackup->isChecked() &&
        !FDialogs.ConfirmWarning(
            QStringLiteral("No backups will be created \u2014 files will be overwritten directly. Continue?")))
        return;
    BtnFormat->setEnabled(false);
    const auto enableAgain = qScopeGuard([this] { BtnFormat->setEnabled(true); });
    FormatAllFiles();
}

void TFrmMain::FormatAllFiles() {
    std::vector<std::filesystem::path> paths;
    for (int row = 0; row < LstFiles->count(); ++row) paths.push_back(ToFsPath(LstFiles->item(row)->text()));
    const files::BatchOptions options{.Backup = ChkBackup->isChecked(),
                                      .WriteChanges = true,
                                      .Workers = std::max(1u, std::thread::hardware_concurrency())};
    const files::FormatSetup setup{FFormatter->Options(), TableOptions().UnitsPath(),
                                   TableOptions().DefaultUnitsPath()};

    TRunFeed feed;
    files::BatchCallbacks callbacks;
    callbacks.Log = [&feed](const std::u16string& ALine) { feed.AddLine(ALine); };
    callbacks.Progress = [&feed](std::size_t ADone, std::size_t ATotal) { feed.SetProgress(ADone, ATotal); };
    const auto showNews = [this, &feed] {
        const TRunFeed::TNews news = feed.Take();
        if (!news.Lines.isEmpty()) Log(news.Lines.join(u'\n'));
        if (news.Total == 0) return;
        PrgRun->setMaximum(int(news.Total));
        PrgRun->setValue(int(news.Done));
    };

    PrgRun->setRange(0, int(paths.size()));
    PrgRun->setValue(0);
    PrgRun->show();
    FRunning = true;
    const auto endOfRun = qScopeGuard([this] {
        FRunning = false;
        PrgRun->hide();
    });
    RunWithInputBlocked([&] { files::RunBatch(paths, setup, options, callbacks); }, showNews);

    if (QListWidgetItem* selected = LstFiles->currentItem()) ShowPreview(selected->text());
}
