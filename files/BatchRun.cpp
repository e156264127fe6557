#include "BatchRun.h"

#include <algorithm>
#include <memory>

#include "OrderedWorkers.h"
#include "RunTimestamp.h"
#include "UnitCatalog.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace {

// A file from its start until its result is handed back holds about twice
// its size (the bytes read and the bytes to write); the sizes of such files
// together stay within this, so a run's memory does not grow with the cores.
constexpr std::size_t kBytesInProgress = 2u << 20;

std::size_t FileSize(const std::filesystem::path& APath) {
    std::error_code error;
    const auto size = std::filesystem::file_size(platform::SystemPath(APath), error);
    return error ? 0 : static_cast<std::size_t>(size);
}

void Count(BatchSummary& ASummary, FileOutcome AOutcome) {
    switch (AOutcome) {
        case FileOutcome::Changed: ++ASummary.Changed; break;
        case FileOutcome::Unchanged: ++ASummary.Unchanged; break;
        case FileOutcome::Failed: ++ASummary.Errors; break;
    }
}

}  // namespace

BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const FormatSetup& ASetup,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks) {
    return RunBatch(AFiles, {ASetup}, std::vector<std::size_t>(AFiles.size(), 0), AOptions, ACallbacks);
}

BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const std::vector<FormatSetup>& ASetups,
                      const std::vector<std::size_t>& ASetupOfFile, const BatchOptions& AOptions,
                      const BatchCallbacks& ACallbacks) {
    const auto report = [&](const RunEvent& AEvent) {
        if (ACallbacks.Event) ACallbacks.Event(AEvent);
        if (ACallbacks.Log) WriteRunLog(AEvent, ACallbacks.Log);
    };
    std::vector<std::unique_ptr<SourceFormatter>> formatters;
    std::vector<const FileUnitCatalog*> catalogs;
    const auto fileFolders = FileUnitCatalog::FoldersOf(AFiles);
    for (const FormatSetup& setup : ASetups) {
        formatters.push_back(std::make_unique<SourceFormatter>(setup, fileFolders));
        catalogs.push_back(formatters.back()->Catalog());
    }
    report(RunStarted{ACallbacks.Now ? ACallbacks.Now() : CurrentRunTimestamp()});

    BatchSummary summary;
    const auto process = [&](std::size_t AIndex) {
        return ProcessBatchFile(AFiles[AIndex], *formatters[ASetupOfFile[AIndex]], AOptions);
    };
    const auto size = [&](std::size_t AIndex) { return FileSize(AFiles[AIndex]); };
    const auto deliver = [&](std::size_t AIndex, FileResult&& AResult) {
        Count(summary, AResult.Outcome);
        summary.CountNotes(AResult);
        report(FileReported{&AResult});
        if (ACallbacks.Progress) ACallbacks.Progress(AIndex + 1, AFiles.size());
    };
    RunInOrder<FileResult>(AFiles.size(), std::max(AOptions.Workers, 1u), kBytesInProgress, process, size, deliver);

    report(RunEnded{summary, FileUnitCatalog::UnitsWithoutSource(catalogs)});
    return summary;
}

}  // namespace quorvel::files
