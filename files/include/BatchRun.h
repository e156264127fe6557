#pragma once
// One batch run over a file list: read, format, write back, one event per
// file and a summary (RunReport.h). Shared by the window and the command-line tool.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BatchFile.h"
#include "QuorvelCore.h"
#include "RunReport.h"

namespace quorvel::files {

// All run on the thread that called RunBatch, in the list's order.
struct BatchCallbacks {
    std::function<void(const RunEvent& AEvent)> Event;                     // may be empty
    std::function<void(const std::u16string& ALine)> Log;                    // the events' log lines; may be empty
    std::function<void(std::size_t ADone, std::size_t ATotal)> Progress;  // may be empty
    std::function<std::u16string()> Now;  // "dd.mm.yyyy hh:nn:ss"; empty: local time
};

// Each file is formatted with ASetup; the units of its clauses are looked up
// in the folders of AFiles and the setup's units path. Throws FileError,
// before anything is logged, when a folder of the units path does not exist.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const FormatSetup& ASetup,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks);

// As above, but file i is formatted with ASetups[ASetupOfFile[i]]: one run
// whose files do not all share their options, still one log with one summary.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const std::vector<FormatSetup>& ASetups,
                      const std::vector<std::size_t>& ASetupOfFile, const BatchOptions& AOptions,
                      const BatchCallbacks& ACallbacks);

}  // namespace quorvel::files
