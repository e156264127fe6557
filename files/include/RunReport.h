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
//   "[UNUSED] <n> unneeded units[, <r> removed]",
//   "[UNUSED] <n> unneeded units kept, as they run code as the program starts or ends",
//   "[MOVE] <n> interface units used only in the implementation[, <m> moved]",
//   "[MOVE] <n> interface units used only in the implementation kept, for names or start order"
//   (each only when n > 0)
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
    int Unneeded = 0;                // units nothing needs that may go
    int Removed = 0;                 // of them, removed
    int UnneededKept = 0;            // units nothing names that run code as the program starts or ends
    int ImplementationOnly = 0;      // interface units only the implementation needs that may move
    int Moved = 0;                   // of them, moved
    int ImplementationOnlyKept = 0;  // such units that must stay for names or start order

    // Units to remove or move: what a check of unneeded units fails on.
    int UnitFindings() const { return Unneeded + ImplementationOnly; }

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

// A unit to remove or move: what a check of unneeded units fails on.
bool IsUnitFinding(const TClauseNote& ANote);

// "  [OK] <name>", "  [=] <name>" or "  [!!] <name>: <message>".
std::u16string FileResultLine(const FileResult& AResult);

// Writes the log lines of AEvent, in order.
void WriteRunLog(const RunEvent& AEvent, const std::function<void(const std::u16string& ALine)>& AWrite);

}  // namespace quorvel::files
