#include "PathsRun.h"

#include <algorithm>
#include <unordered_set>
#include <variant>

#include "Arguments.h"
#include "BatchRun.h"
#include "Console.h"
#include "FileError.h"
#include "FolderListing.h"
#include "PathText.h"
#include "ProgressLine.h"
#include "SourceFormats.h"
#include "SystemAccess.h"
#include "UnifiedDiff.h"

namespace quorvel::cli {
namespace fs = std::filesystem;
namespace {

// Folders are listed, anything else is taken as a file, whatever its name:
// a file that cannot be read gets its error line in the run. A path met twice
// (also through a folder, or in other letter case on Windows) is formatted once.
std::vector<fs::path> CollectFiles(const CliOptions& AOptions, SourceFormats& AFormats, int& AErrors) {
    std::vector<fs::path> list;
    std::unordered_set<fs::path::string_type> seen;  // hashed: thousands of paths compare by component otherwise
    const auto add = [&](const fs::path& APath) {
        if (seen.insert(files::platform::PathIdentity(APath)).second) list.push_back(APath);
    };
    const auto warnUnreadable = [](const fs::path& AFolder) {
        WriteLine(stderr, u"Cannot open folder \"" + files::PathDisplayText(AFolder) + u"\": its files are not listed");
    };
    for (const std::string& argument : AOptions.Paths) {
        const fs::path path = PathFromArgument(argument);
        std::error_code error;
        if (!fs::is_directory(files::platform::SystemPath(path), error)) {
            add(path);
            continue;
        }
        const auto kinds = AFormats.FileKindsFor(path);  // an options file that cannot be used stops the run
        try {
            for (const fs::path& file : files::ListSourceFiles(path, AOptions.Recursive, warnUnreadable, kinds)) add(file);
        } catch (const files::FileError& listingError) {
            WriteText(stderr, std::string(listingError.what()) + "\n");
            ++AErrors;
        }
    }
    return list;
}

int ExitCodeOf(const files::BatchSummary& ASummary, const CliOptions& AOptions, int AListingErrors) {
    if (ASummary.Errors > 0 || AListingErrors > 0) return kExitFailed;
    if (AOptions.WritesNothing() && ASummary.Changed > 0) return kExitWouldChange;
    if (AOptions.Check && ASummary.UnitFindings() > 0) return kExitWouldChange;
    return kExitDone;
}

// Units it could do without, or that could move to its implementation.
bool HasUnitFindings(const files::FileResult& AResult) {
    return std::any_of(AResult.Notes.begin(), AResult.Notes.end(), files::IsUnitFinding);
}

}  // namespace

int RunOnPaths(const CliOptions& AOptions) {
    int listingErrors = 0;
    // Every options file is read before any source is touched: one that
    // cannot be used stops the run with nothing formatted.
    SourceFormats formats(AOptions);
    std::vector<fs::path> list;
    std::vector<std::size_t> formatOfFile;
    try {
        list = CollectFiles(AOptions, formats, listingErrors);
        if (AOptions.ConfigFile) formats.FormatFor({});  // read even when no source is listed
        for (const fs::path& file : list) formatOfFile.push_back(formats.FormatFor(file.parent_path()));
    } catch (const files::FileError& error) {
        WriteText(stderr, std::string(error.what()) + "\n");
        return kExitFailed;
    }
    ProgressLine progress(IsTerminal(stderr));
    std::FILE* const logStream = AOptions.Diff ? stderr : stdout;
    std::vector<fs::path> wouldChange, withUnitFindings;

    // The log goes to standard output (standard error while the diff takes
    // standard output); -q keeps only the lines of failed files, on standard error.
    const auto writeLog = [&](const files::RunEvent& AEvent, std::FILE* AStream) {
        files::WriteRunLog(AEvent, [&](const std::u16string& ALine) {
            progress.Clear();
            WriteLine(AStream, ALine);
        });
    };
    files::BatchCallbacks callbacks;
    callbacks.Event = [&](const files::RunEvent& AEvent) {
        const auto* file = std::get_if<files::FileReported>(&AEvent);
        const bool failed = file && file->Result->Outcome == files::FileOutcome::Failed;
        if (!AOptions.Quiet) {
            writeLog(AEvent, logStream);
        } else if (failed) {
            progress.Clear();
            WriteLine(stderr, files::FileResultLine(*file->Result));
        }
        if (file && AOptions.Check && HasUnitFindings(*file->Result)) withUnitFindings.push_back(file->Result->Path);
        if (!file || file->Result->Outcome != files::FileOutcome::Changed) return;
        if (AOptions.Check) wouldChange.push_back(file->Result->Path);
        if (AOptions.Diff) {
            progress.Clear();
            WriteText(stdout, UnifiedDiff(file->Result->Text, file->Result->Formatted,
                                          files::PathMessageText(file->Result->Path)));
        }
    };
    callbacks.Progress = [&](std::size_t ADone, std::size_t ATotal) { progress.Show(ADone, ATotal); };
    const files::BatchOptions batchOptions{.Backup = AOptions.Backup,
                                           .WriteChanges = !AOptions.WritesNothing(),
                                           .Workers = AOptions.Workers,
                                           .KeepTexts = AOptions.Diff,
                                           .EndsTheProcess = true};
    files::BatchSummary summary;
    try {
        summary = files::RunBatch(list, formats.Formats(), formatOfFile, batchOptions, callbacks);
    } catch (const files::FileError& error) {
        WriteText(stderr, std::string(error.what()) + "\n");
        return kExitFailed;
    }
    progress.Clear();

    for (const fs::path& path : wouldChange) WriteLine(stdout, u"Would change: " + files::PathDisplayText(path));
    for (const fs::path& path : withUnitFindings) WriteLine(stdout, u"Unneeded units: " + files::PathDisplayText(path));
    return ExitCodeOf(summary, AOptions, listingErrors);
}

}  // namespace quorvel::cli
