#include "BatchRun.h"

#include <algorithm>
#include <memory>

#include "OrderedWorkers.h"
#include "PathText.h"
#include "RunTimestamp.h"
#include "UnitCatalog.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace {

// A file from its start until its result is handed back holds about five
// times its size (bytes, text and formatted text); the sizes of such files
// together stay within this, so a run's memory does not grow with the cores.
constexpr std::size_t kBytesInProgress = 2u << 20;

std::size_t FileSize(const std::filesystem::path& APath) {
    std::error_code error;
    const auto size = std::filesystem::file_size(platform::SystemPath(APath), error);
    return error ? 0 : static_cast<std::size_t>(size);
}

std::u16string ResultLine(const FileResult& AResult) {
    const std::u16string path = PathDisplayText(AResult.Path);
    const std::u16string name(FileNameOfPath(path));
    switch (AResult.Outcome) {
        case FileOutcome::Changed: return u"  [OK] " + name;
        case FileOutcome::Unchanged: return u"  [=] " + name;
        case FileOutcome::Failed: break;
    }
    return u"  [!!] " + name + u": " + AResult.Error;
}

void Count(BatchSummary& ASummary, FileOutcome AOutcome) {
    switch (AOutcome) {
        case FileOutcome::Changed: ++ASummary.Changed; break;
        case FileOutcome::Unchanged: ++ASummary.Unchanged; break;
        case FileOutcome::Failed: ++ASummary.Errors; break;
    }
}

std::u16string Number(std::size_t AValue) {
    const std::string digits = std::to_string(AValue);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string SummaryLine(const BatchSummary& ASummary) {
    return u"Done: " + Number(ASummary.Changed) + u" changed, " + Number(ASummary.Unchanged) + u" unchanged, " +
           Number(ASummary.Errors) + u" errors";
}

}  // namespace

BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const TQuorvel& AFormatter,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks) {
    return RunBatch(AFiles, {{AFormatter, AOptions.UnitsPath}}, std::vector<std::size_t>(AFiles.size(), 0), AOptions,
                    ACallbacks);
}

BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const std::vector<BatchFormat>& AFormats,
                      const std::vector<std::size_t>& AFormatOfFile, const BatchOptions& AOptions,
                      const BatchCallbacks& ACallbacks) {
    const auto log = [&](const std::u16string& ALine) {
        if (ACallbacks.Log) ACallbacks.Log(ALine);
    };
    std::vector<TQuorvel> formatters;
    formatters.reserve(AFormats.size());
    std::vector<std::unique_ptr<FileUnitCatalog>> catalogs;
    const auto fileFolders = FileUnitCatalog::FoldersOf(AFiles);
    for (const BatchFormat& format : AFormats) {
        formatters.push_back(format.Formatter);
        catalogs.push_back(AttachUnitCatalog(formatters.back(), {fileFolders, format.UnitsPath}));
    }
    log(u"");
    log(u"=== Starting format: " + (ACallbacks.Now ? ACallbacks.Now() : CurrentRunTimestamp()) + u" ===");

    BatchSummary summary;
    const auto process = [&](std::size_t AIndex) {
        const std::size_t format = AFormatOfFile[AIndex];
        return ProcessBatchFile(AFiles[AIndex], formatters[format], AOptions, catalogs[format].get());
    };
    const auto size = [&](std::size_t AIndex) { return FileSize(AFiles[AIndex]); };
    const auto report = [&](std::size_t AIndex, FileResult&& AResult) {
        for (const auto& message : AResult.SkipMessages) log(message);
        log(ResultLine(AResult));
        Count(summary, AResult.Outcome);
        if (ACallbacks.FileDone) ACallbacks.FileDone(AResult);
        if (ACallbacks.Progress) ACallbacks.Progress(AIndex + 1, AFiles.size());
    };
    RunInOrder<FileResult>(AFiles.size(), std::max(AOptions.Workers, 1u), kBytesInProgress, process, size, report);

    log(u"");
    log(SummaryLine(summary));
    if (const std::size_t missing = FileUnitCatalog::UnitsWithoutSource(catalogs); missing > 0)
        log(u"No source found for " + Number(missing) + u" units named in clauses");
    log(u"=== End ===");
    return summary;
}

}  // namespace quorvel::files
