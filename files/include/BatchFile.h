#pragma once
// One file of a batch run: read, format, and write back when it changed.

#include <filesystem>
#include <string>
#include <vector>

#include "QuorvelCore.h"
#include "SourceFormatter.h"

namespace quorvel::files {

struct BatchOptions {
    bool Backup = true;        // write "<file>.bak" with the exact old bytes before a rewrite
    bool WriteChanges = true;  // false: only report what would change; nothing is written
    unsigned Workers = 1;      // files formatted in parallel; log order stays the list's order
    bool KeepTexts = false;    // changed files bring their text before and after (for diffs)
    // The process ends right after the run: what it read of the units is left
    // for the system to take back, as freeing millions of identifiers one by
    // one takes longer than many files' formatting. Their caches are saved first.
    bool EndsTheProcess = false;
};

enum class FileOutcome { Changed, Unchanged, Failed };

struct FileResult {
    std::filesystem::path Path;
    FileOutcome Outcome = FileOutcome::Unchanged;
    std::u16string Error;                      // Failed: the message, naming the file
    std::vector<TClauseNote> Notes;            // the engine's notes on its clauses, in its order
    std::u16string Text, Formatted;            // Changed and KeepTexts: the text before and after
};

// Never throws: every failure becomes a Failed result. A changed file is
// written only when it can be rewritten without loss; its backup (exact old
// bytes) is written first, and a failed backup leaves the file untouched.
// An unchanged file is not touched at all.
FileResult ProcessBatchFile(const std::filesystem::path& APath, const SourceFormatter& AFormatter,
                            const BatchOptions& AOptions);

}  // namespace quorvel::files
