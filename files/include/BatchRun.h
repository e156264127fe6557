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

// AFormatter's options are used; its note handlers are not: notes come with their file's event.
// When it keeps names resolving, the units of its clauses are looked up in the
// folders of AFiles and AOptions.UnitsPath. Throws FileError, before anything
// is logged, when a folder of the units path does not exist.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const TQuorvel& AFormatter,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks);

// One set of options in a run whose files do not all share them.
struct BatchFormat {
    TQuorvel Formatter;
    std::vector<std::filesystem::path> UnitsPath;  // instead of BatchOptions::UnitsPath
};

// As above, but file i is formatted with AFormats[AFormatOfFile[i]]; the log
// is still one run with one summary. Units are looked up in the folders of all
// of AFiles plus the units path of the file's own format.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const std::vector<BatchFormat>& AFormats,
                      const std::vector<std::size_t>& AFormatOfFile, const BatchOptions& AOptions,
                      const BatchCallbacks& ACallbacks);

}  // namespace quorvel::files
