// The window's speed: the preview of a 50 KB and a 5 MB unit, the log with
// 20,000 lines, start-up to a shown window, and a run over the Debian Pascal
// trees against the same run of quorvel-cli.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <Qsci/qsciscintilla.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "Dialogs.h"
#include "FormMain.h"
#include "WindowFixture.h"
#include "MemoryTuning.h"

namespace fs = std::filesystem;

namespace {

// Answers every box with Yes/OK without showing it.
class TSilentDialogs final : public TDialogs {
public:
    void ShowMessage(const QString&) override {}
    void ShowError(const QString& AText) override { qWarning("error box: %s", qPrintable(AText)); }
    bool ConfirmWarning(const QString&) override { return true; }
    std::optional<QString> PickFolder(QWidget*, const QString&) override { return std::nullopt; }
    TUpdateAnswer AskUpdate(const TUpdateQuestion&) override { return TUpdateAnswer::No; }
    bool OpenUrl(const QUrl&) override { return true; }
};

QTemporaryDir* WorkFolder() {
    static QTemporaryDir folder;
    return &folder;
}

TSilentDialogs& Dialogs() {
    static TSilentDialogs dialogs;
    return dialogs;
}

void WriteFile(const QString& APath, const QByteArray& ABytes) {
    QDir().mkpath(QFileInfo(APath).absolutePath());
    QFile file(APath);
    if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(APath));
    file.write(ABytes);
}

// A unit of about ABytes: unsorted clauses in both sections and a body of
// ordinary routines, as in a large application unit.
QByteArray MakeUnit(qsizetype ABytes) {
    QByteArray text = "unit Big;\r\n\r\ninterface\r\n\r\nuses\r\n  Windows, Messages, SysUtils, Variants, Classes, Graphics,\r\n"
                      "  Controls, Forms, Dialogs, StdCtrls, ExtCtrls, ComCtrls, Menus, ActnList, ImgList, DB;\r\n\r\n"
                      "implementation\r\n\r\nuses Math, StrUtils, DateUtils, IniFiles, Registry, ShellAPI;\r\n\r\n";
    for (int n = 0; text.size() < ABytes; ++n) {
        text += "// Works out the total of the order lines; see the order screen.\r\n"
                "procedure TFrmOrder.CalculateTotal" + QByteArray::number(n) + "(const AOrder: TOrder);\r\n"
                "var\r\n  I: Integer;\r\n  Total: Currency;\r\nbegin\r\n  Total := 0;\r\n"
                "  for I := 0 to AOrder.Lines.Count - 1 do\r\n"
                "    Total := Total + AOrder.Lines[I].Price * AOrder.Lines[I].Quantity;\r\n"
                "  LblTotal.Caption := Format('Total: %m', [Total]);\r\nend;\r\n\r\n";
    }
    return text + "end.\r\n";
}

// A shown window with two copies of a unit listed; selecting one previews it.
struct TPreviewSetup {
    explicit TPreviewSetup(qsizetype ABytes) {
        const QByteArray unit = MakeUnit(ABytes);
        const QString folder = WorkFolder()->filePath("preview-" + QString::number(ABytes));
        WriteFile(folder + "/A.pas", unit);
        WriteFile(folder + "/B.pas", unit);
        Window.show();
        Window.LstFiles->addItems({folder + "/A.pas", folder + "/B.pas"});
    }
    TFrmMain Window{Dialogs()};
};

void Preview(benchmark::State& AState, bool APaint) {
    TPreviewSetup setup(AState.range(0));
    int row = 0;
    for (auto _ : AState) {
        setup.Window.LstFiles->setCurrentRow(row);
        if (APaint) {
            setup.Window.SynOriginal->viewport()->repaint();
            setup.Window.SynFormatted->viewport()->repaint();
        }
        row = 1 - row;
    }
    if (setup.Window.SynFormatted->text().isEmpty()) AState.SkipWithError("the preview stayed empty");
    AState.SetBytesProcessed(AState.iterations() * AState.range(0));
}

void BM_Preview(benchmark::State& AState) { Preview(AState, false); }
void BM_PreviewPainted(benchmark::State& AState) { Preview(AState, true); }
BENCHMARK(BM_Preview)->Arg(50 * 1024)->Arg(5 * 1024 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPainted)->Arg(50 * 1024)->Arg(5 * 1024 * 1024)->Arg(50 * 1024 * 1024)->Unit(benchmark::kMillisecond);

QString RunLogLine(int ANumber) {
    return QStringLiteral("  [OK] unit_with_a_typical_name_%1.pas").arg(ANumber);
}

// 20,000 result lines logged one by one, as a long run produces them.
void BM_Log20000Lines(benchmark::State& AState) {
    TFrmMain window(Dialogs());
    window.show();
    for (auto _ : AState) {
        AState.PauseTiming();
        window.MmoLog->clear();
        AState.ResumeTiming();
        for (int line = 0; line < 20000; ++line) window.Log(RunLogLine(line));
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_Log20000Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

// With 20,000 lines in the log: one more line, painted.
void BM_LogLineAfter20000(benchmark::State& AState) {
    TFrmMain window(Dialogs());
    window.show();
    QStringList lines;
    for (int line = 0; line < 20000; ++line) lines << RunLogLine(line);
    window.Log(lines.join(u'\n'));
    int line = 20000;
    for (auto _ : AState) {
        window.Log(RunLogLine(line++));
        window.MmoLog->viewport()->repaint();
    }
}
BENCHMARK(BM_LogLineAfter20000)->Unit(benchmark::kMicrosecond);

QString BinFile(const QString& AName) { return QCoreApplication::applicationDirPath() + u'/' + AName; }

// From starting the process to its window shown, without the update check.
void BM_StartupToShownWindow(benchmark::State& AState) {
    const QString appData = WorkFolder()->filePath("startup-appdata");
    WriteFile(appData + "/Quorvel/Quorvel.ini", "[Settings]\nAutoUpdate=0\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("APPDATA", appData);
    if (!environment.contains("DISPLAY")) environment.insert("QT_QPA_PLATFORM", "offscreen");
    for (auto _ : AState) {
        QProcess probe;
        probe.setProcessEnvironment(environment);
        const auto started = std::chrono::steady_clock::now().time_since_epoch();
        probe.start(BinFile("ui_startup_probe"), {});
        if (!probe.waitForFinished(30000)) AState.SkipWithError("the probe did not finish");
        const auto shown = std::chrono::nanoseconds(probe.readAllStandardOutput().trimmed().toLongLong());
        AState.SetIterationTime(std::chrono::duration<double>(shown - started).count());
    }
}
BENCHMARK(BM_StartupToShownWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// The Debian Pascal trees' source files, copied once; each run gets a fresh copy.
std::vector<fs::path> CorpusRoots() {
    std::vector<fs::path> roots;
    for (const char* root : {"/usr/share/fpcsrc/3.2.2", "/usr/lib/lazarus/2.2.6"})
        if (fs::is_directory(root)) roots.emplace_back(root);
    return roots;
}

bool IsSourceFile(const fs::path& APath) {
    const auto ext = APath.extension().string();
    return ext == ".pas" || ext == ".dpr" || ext == ".dpk" || ext == ".PAS" || ext == ".DPR" || ext == ".DPK";
}

fs::path PristineCorpus() {
    static const fs::path pristine = [] {
        const fs::path target = fs::path(WorkFolder()->path().toStdString()) / "corpus-pristine";
        int index = 0;
        for (const fs::path& root : CorpusRoots()) {
            const fs::path copy = target / std::to_string(index++);
            for (const auto& entry : fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied)) {
                if (!entry.is_regular_file() || !IsSourceFile(entry.path())) continue;
                const fs::path destination = copy / fs::relative(entry.path(), root);
                fs::create_directories(destination.parent_path());
                fs::copy_file(entry.path(), destination);
            }
        }
        return target;
    }();
    return pristine;
}

QStringList FreshCorpusCopy() {
    const fs::path work = fs::path(WorkFolder()->path().toStdString()) / "corpus-run";
    fs::remove_all(work);
    fs::copy(PristineCorpus(), work, fs::copy_options::recursive);
    QStringList roots;
    for (const auto& entry : fs::directory_iterator(work)) roots << QString::fromStdString(entry.path().string());
    roots.sort();
    return roots;
}

// Dropped on the window, then "Apply preview to files" with backups on; the
// timing covers the run with its progress and log.
void BM_CorpusRunInWindow(benchmark::State& AState) {
    if (CorpusRoots().empty()) return AState.SkipWithError("fpc-source-3.2.2 and lazarus-src-2.2 are not installed");
    for (auto _ : AState) {
        AState.PauseTiming();
        const QStringList roots = FreshCorpusCopy();
        TFrmMain window(Dialogs());
        window.show();
        DropPaths(window, roots);
        AState.counters["files"] = window.LstFiles->count();
        AState.ResumeTiming();
        window.BtnFormat->click();
        AState.PauseTiming();
        AState.counters["log lines"] = window.MmoLog->blockCount();
        AState.ResumeTiming();
    }
}
BENCHMARK(BM_CorpusRunInWindow)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The same files through the command-line tool, backups on, output discarded.
void BM_CorpusRunInCli(benchmark::State& AState) {
    if (CorpusRoots().empty()) return AState.SkipWithError("fpc-source-3.2.2 and lazarus-src-2.2 are not installed");
    for (auto _ : AState) {
        AState.PauseTiming();
        const QStringList roots = FreshCorpusCopy();
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        cli.setStandardErrorFile(QProcess::nullDevice());
        AState.ResumeTiming();
        cli.start(BinFile("quorvel-cli"), QStringList{"--backup"} + roots);
        if (!cli.waitForFinished(-1)) AState.SkipWithError("quorvel-cli did not finish");
    }
}
BENCHMARK(BM_CorpusRunInCli)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// One 50 MB unit, written once; each run gets a fresh copy.
QString FreshBigUnitCopy() {
    static const QByteArray unit = MakeUnit(50 * 1024 * 1024);
    const QString path = WorkFolder()->filePath("big/Big.pas");
    QFile::remove(path);
    QFile::remove(path + ".bak");
    WriteFile(path, unit);
    return path;
}

// The big unit listed in the window, then "Apply preview to files" with backups on.
void BM_BigUnitRunInWindow(benchmark::State& AState) {
    for (auto _ : AState) {
        AState.PauseTiming();
        const QString path = FreshBigUnitCopy();
        TFrmMain window(Dialogs());
        window.show();
        DropPaths(window, {path});
        AState.ResumeTiming();
        window.BtnFormat->click();
    }
}
BENCHMARK(BM_BigUnitRunInWindow)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same through the command-line tool, backups on.
void BM_BigUnitRunInCli(benchmark::State& AState) {
    for (auto _ : AState) {
        AState.PauseTiming();
        const QString path = FreshBigUnitCopy();
        QProcess cli;
        cli.setStandardOutputFile(QProcess::nullDevice());
        AState.ResumeTiming();
        cli.start(BinFile("quorvel-cli"), QStringList{"--backup", path});
        if (!cli.waitForFinished(-1)) AState.SkipWithError("quorvel-cli did not finish");
    }
}
BENCHMARK(BM_BigUnitRunInCli)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

// The offscreen platform's notice on every shown window says nothing here.
void QuietMessages(QtMsgType AType, const QMessageLogContext&, const QString& AMessage) {
    if (AType == QtWarningMsg && AMessage.contains(QStringLiteral("propagateSizeHints"))) return;
    std::fprintf(stderr, "%s\n", qPrintable(AMessage));
}

int main(int argc, char** argv) {
    quorvel::startup::RestartWithLargeBufferHeap(argv);  // as the program itself starts
    quorvel::startup::KeepFreedMemoryForReuse();
    qInstallMessageHandler(QuietMessages);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The window's settings go to the work folder, never to the user's own.
    qputenv("APPDATA", WorkFolder()->filePath("appdata").toLocal8Bit());
    WriteFile(WorkFolder()->filePath("appdata/Quorvel/Quorvel.ini"), "[Settings]\nAutoUpdate=0\n");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
