#include "BatchRun.h"

#include <algorithm>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "FileError.h"
#include "OrderedWorkers.h"
#include "PathText.h"
#include "ProjectSettings.h"
#include "TextFile.h"
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

std::u16string Number(std::size_t AValue) {
    const std::string digits = std::to_string(AValue);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string FolderCount(std::u16string_view AWhat, std::size_t ACount) {
    return std::u16string(AWhat) + u" (" + Number(ACount) + (ACount == 1 ? u" folder)" : u" folders)");
}

// "Delphi 12 sources (C:\...\source), units path (2 folders), project search path (3 folders)":
// where the units of the run's clauses are looked for besides the files' own folders.
std::u16string UnitsFromText(const std::vector<std::unique_ptr<SourceFormatter>>& AFormatters,
                             const std::vector<FormatSetup>& ASetups) {
    std::vector<std::u16string> parts;
    std::set<std::filesystem::path::string_type> unitsPath, projectFolders, treeFolders;
    std::map<std::u16string, std::size_t> configFolders;  // folders of a search path: counted, not listed
    for (const auto& formatter : AFormatters) {
        for (const CompilerSourceTree& tree : formatter->CompilerTrees()) {
            if (!treeFolders.insert(platform::PathIdentity(tree.Folder)).second) continue;
            if (!tree.WithSubfolders) ++configFolders[tree.Name];
            else parts.push_back(tree.Name + u" (" + PathDisplayText(tree.Folder) + u")");
        }
        if (const ProjectSettings* project = formatter->Project(); project && formatter->Catalog()) {
            for (const auto& folder : project->UnitFolders)
                if (IsExistingFolder(folder)) projectFolders.insert(platform::PathIdentity(folder));
        }
    }
    for (const auto& [name, count] : configFolders) parts.push_back(FolderCount(name, count));
    for (const FormatSetup& setup : ASetups) {
        if (!NeedsCatalog(setup.Options)) continue;
        for (const auto& folder : setup.UnitsPath) unitsPath.insert(platform::PathIdentity(folder));
    }
    if (!unitsPath.empty()) parts.push_back(FolderCount(u"units path", unitsPath.size()));
    if (!projectFolders.empty()) parts.push_back(FolderCount(u"project search path", projectFolders.size()));
    std::u16string text;
    for (const std::u16string& part : parts) text += (text.empty() ? u"" : u", ") + part;
    return text;
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
    // One formatter per options and project: files of one project share its
    // search path and scope names; all share the compilers' trees.
    ProjectLookup projects;
    std::vector<std::unique_ptr<SourceFormatter>> formatters;
    std::map<std::pair<std::size_t, const ProjectSettings*>, std::size_t> formatterOfPair;
    std::vector<std::size_t> formatterOfFile(AFiles.size());
    const auto fileFolders = FileUnitCatalog::FoldersOf(AFiles);
    // What the projects of a setup share is read once per Delphi they name.
    std::map<std::pair<std::size_t, std::u16string>, SourceFormatter::SharedUnits> shared;
    // Finding the files' projects and reading the units they share go side
    // by side: each setup's units for no Delphi in particular are read ahead,
    // as nearly every run needs them (a setup no file uses too, see below).
    // Those that fail are read again where first needed, and fail there.
    std::vector<std::shared_ptr<const ProjectSettings>> projectOfFile(AFiles.size());
    auto lookups = std::async(std::launch::async, [&] {
        // Files of one folder come together: each folder is looked up once.
        std::optional<std::filesystem::path> lastFolder;
        std::shared_ptr<const ProjectSettings> lastProject;
        for (std::size_t i = 0; i < AFiles.size(); ++i) {
            if (!NeedsCatalog(ASetups[ASetupOfFile[i]].Options)) continue;
            std::filesystem::path folder = AFiles[i].parent_path();
            if (folder != lastFolder) lastProject = projects.For(folder), lastFolder = std::move(folder);
            projectOfFile[i] = lastProject;
        }
    });
    for (std::size_t setup = 0; setup < ASetups.size(); ++setup) {
        try {
            shared.emplace(std::pair(setup, std::u16string()), SourceFormatter::UnitsFor(ASetups[setup], fileFolders, u""));
        } catch (const FileError&) {
        }
    }
    lookups.get();
    const auto formatterFor = [&](std::size_t ASetup, std::shared_ptr<const ProjectSettings> AProject) {
        const auto [known, added] = formatterOfPair.try_emplace({ASetup, AProject.get()}, formatters.size());
        if (!added) return known->second;
        const std::u16string delphi = AProject ? AProject->DelphiVersion : u"";
        auto units = shared.find({ASetup, delphi});
        if (units == shared.end())
            units = shared.emplace(std::pair(ASetup, delphi), SourceFormatter::UnitsFor(ASetups[ASetup], fileFolders, delphi)).first;
        formatters.push_back(std::make_unique<SourceFormatter>(ASetups[ASetup], units->second, AProject));
        return known->second;
    };
    for (std::size_t i = 0; i < AFiles.size(); ++i) formatterOfFile[i] = formatterFor(ASetupOfFile[i], projectOfFile[i]);
    // A setup no file uses is still made: its units path is checked all the same.
    for (std::size_t setup = 0; setup < ASetups.size(); ++setup) {
        if (std::find(ASetupOfFile.begin(), ASetupOfFile.end(), setup) == ASetupOfFile.end()) formatterFor(setup, nullptr);
    }
    std::vector<const FileUnitCatalog*> catalogs;
    for (const auto& formatter : formatters) catalogs.push_back(formatter->Catalog());
    report(RunStarted{ACallbacks.Now ? ACallbacks.Now() : CurrentRunTimestamp(), UnitsFromText(formatters, ASetups)});

    BatchSummary summary;
    const auto process = [&](std::size_t AIndex) {
        return ProcessBatchFile(AFiles[AIndex], *formatters[formatterOfFile[AIndex]], AOptions);
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
    if (AOptions.EndsTheProcess) {
        for (const FileUnitCatalog* catalog : catalogs) {
            if (catalog) catalog->SaveCache();
        }
        // Reachable to the end, never freed.
        static auto* const kLeftToTheSystem = new std::vector<std::shared_ptr<void>>();
        kLeftToTheSystem->push_back(std::make_shared<decltype(formatters)>(std::move(formatters)));
        kLeftToTheSystem->push_back(std::make_shared<decltype(shared)>(std::move(shared)));
    }
    return summary;
}

}  // namespace quorvel::files
