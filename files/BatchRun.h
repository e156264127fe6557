#pragma once
// One batch run over a file list: read, format, write back, one log line per
// file and a summary. Shared by the window and the command-line tool.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "QuorvelCore.h"

namespace quorvel::files {

struct BatchOptions {
    bool Backup = true;        // write "<file>.bak" with the exact old bytes before a rewrite
    bool WriteChanges = true;  // false: only report what would change
    unsigned Workers = 1;      // files formatted in parallel; log order stays the list's order
};

struct BatchCallbacks {
    std::function<void(const std::u16string& ALine)> Log;
    std::function<void(std::size_t ADone, std::size_t ATotal)> Progress;  // may be empty
    std::function<std::u16string()> Now;  // "dd.mm.yyyy hh:nn:ss"; empty: local time
};

struct BatchSummary {
    int Changed = 0;
    int Unchanged = 0;
    int Errors = 0;
};

// AFormatter's options are used; its OnSkipBlock is not: skip messages go to Log.
BatchSummary RunBatch(const std::vector<std::filesystem::path>& AFiles, const TQuorvel& AFormatter,
                      const BatchOptions& AOptions, const BatchCallbacks& ACallbacks);

}  // namespace quorvel::files
