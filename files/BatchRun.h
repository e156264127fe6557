#pragma once
// One batch run over a file list: read, format, write back, one log line per
// file and a summary. Shared by the window and the command-line tool.
//
// The log of a run, line by line:
//   ""
//   "=== Starting format: dd.mm.yyyy hh:nn:ss ==="
//   per file, in the list's order: the engine's skip messages for it, then
//     "  [OK] <name>" (changed), "  [=] <name>" (unchanged) or
//     "  [!!] <name>: <message>" (failed; the run goes on)
//   ""
//   "Done: <changed> changed, <unchanged> unchanged, <errors> errors"
//   "No source found for <n> units named in clauses" (only when the formatter
//     keeps names resolving and n > 0)
//   "=== End ==="
// where <name> is the path's part after its last "/", "\" or ":".

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "BatchFile.h"
#include "QuorvelCore.h"

namespace quorvel::files {

// All run on the thread that called RunBatch, in the list's order.
struct BatchCallbacks {
    std::function<void(const std::u16string& ALine)> Log;
    std::function<void(std::size_t ADone, std::size_t ATotal)> Progress;  // may be empty
    std::function<std::u16string()> Now;  // "dd.mm.yyyy hh:nn:ss"; empty: local time
    std::function<void(const FileResult& AResult)> FileDone;  // after each file's result line; may be empty
};

struct BatchSummary {
    int Changed = 0;
    int Unchanged = 0;
    int Errors = 0;
};

// AFormatter's options are used; its OnSkipBlock is not: skip messages go to Log.
// When it keeps names resolving, the units of its clauses are looked up in the
// folders of AFiles and AOptions.UnitsPath. Throws FileError, before anything
// is logged, when a folder of the units path does not exist.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const TQuorvel& AFormatter,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks);

}  // namespace quorvel::files
