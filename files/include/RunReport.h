#pragma once
// What a batch run reports, as events, and the one writer that turns them
// into the run's log lines, for the window and the command-line tool alike.
//
// The log of a run, line by line:
//   ""
//   "=== Starting format: dd.mm.yyyy hh:nn:ss ==="
//   "Units from: <trees and search paths>" (only when units are looked for beyond the files' folders)
//   per file, in the list's order: the engine's notes on its clauses, then
//     "  [OK] <name>" (changed), "  [=] <name>" (unchanged) or
//     "  [!!] <name>: <message>" (failed; the run goes on)
//   ""
//   "Done: <changed> changed, <unchanged> unchanged, <errors> errors"
//   "No source found for <n> units named in clauses" (only when n > 0)
//   "[GROUP] <n> units kept out of their group for names" (only when n > 0)
//   "[CASE] <n> unit names written in their declared case" (only when n > 0)
//   "[SCOPE] <n> unit scope names added or removed" (only when n > 0)
//   "=== End ==="
// where <name> is the path's part after its last "/", "\" or ":".

#include <cstddef>
#include <functional>
#include <string>
#include <variant>

#include "BatchFile.h"

namespace quorvel::files {

struct BatchSummary {
    int Changed = 0;
    int Unchanged = 0;
    int Errors = 0;
    // The notes of these kinds over all files.
    int OutOfGroup = 0;
    int CaseWritten = 0;
    int ScopesWritten = 0;

    // Counts the notes of AResult.
    void CountNotes(const FileResult& AResult);
};

struct RunStarted {
    std::u16string Timestamp;  // "dd.mm.yyyy hh:nn:ss"
    // Where units are looked for besides the files' own folders, for the
    // "Units from: ..." line; empty: nowhere else, and no line.
    std::u16string UnitsFrom = {};
};

// One file's result, its clause notes included; valid during the call.
struct FileReported {
    const FileResult* Result = nullptr;
};

struct RunEnded {
    BatchSummary Summary;
    std::size_t UnitsWithoutSource = 0;  // units named in clauses that no folder holds
};

using RunEvent = std::variant<RunStarted, FileReported, RunEnded>;

// "  [OK] <name>", "  [=] <name>" or "  [!!] <name>: <message>".
std::u16string FileResultLine(const FileResult& AResult);

// Writes the log lines of AEvent, in order.
void WriteRunLog(const RunEvent& AEvent, const std::function<void(const std::u16string& ALine)>& AWrite);

}  // namespace quorvel::files
