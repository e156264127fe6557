#include "RunReport.h"

#include "PathText.h"

namespace quorvel::files {
namespace {

std::u16string Number(std::size_t AValue) {
    const std::string digits = std::to_string(AValue);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Count(int AValue) { return Number(static_cast<std::size_t>(AValue)); }

// ", 3 removed" when any were.
std::u16string Done(int AValue, std::u16string_view AWhat) {
    return AValue > 0 ? u", " + Count(AValue) + u" " + std::u16string(AWhat) : u"";
}

void WriteUnitFindings(const BatchSummary& ASummary, const std::function<void(const std::u16string& ALine)>& AWrite) {
    if (ASummary.Unneeded > 0) AWrite(u"[UNUSED] " + Count(ASummary.Unneeded) + u" unneeded units" + Done(ASummary.Removed, u"removed"));
    if (ASummary.UnneededKept > 0)
        AWrite(u"[UNUSED] " + Count(ASummary.UnneededKept) + u" unneeded units kept, as they run code as the program starts or ends");
    if (ASummary.ImplementationOnly > 0)
        AWrite(u"[MOVE] " + Count(ASummary.ImplementationOnly) + u" interface units used only in the implementation" +
               Done(ASummary.Moved, u"moved"));
    if (ASummary.ImplementationOnlyKept > 0)
        AWrite(u"[MOVE] " + Count(ASummary.ImplementationOnlyKept) +
               u" interface units used only in the implementation kept, for names or start order");
}

std::u16string SummaryLine(const BatchSummary& ASummary) {
    return u"Done: " + Number(ASummary.Changed) + u" changed, " + Number(ASummary.Unchanged) + u" unchanged, " +
           Number(ASummary.Errors) + u" errors";
}

}  // namespace

void BatchSummary::CountNotes(const FileResult& AResult) {
    for (const TClauseNote& note : AResult.Notes) {
        switch (note.Kind) {
            case TClauseNoteKind::Group: ++OutOfGroup; break;
            case TClauseNoteKind::Case: ++CaseWritten; break;
            case TClauseNoteKind::Scope: ++ScopesWritten; break;
            case TClauseNoteKind::Unused: ++Unneeded, Removed += note.Applied; break;
            case TClauseNoteKind::UnusedKept: ++UnneededKept; break;
            case TClauseNoteKind::Move: ++ImplementationOnly, Moved += note.Applied; break;
            case TClauseNoteKind::MoveKept: ++ImplementationOnlyKept; break;
            default: break;
        }
    }
}

bool IsUnitFinding(const TClauseNote& ANote) {
    return ANote.Kind == TClauseNoteKind::Unused || ANote.Kind == TClauseNoteKind::Move;
}

std::u16string FileResultLine(const FileResult& AResult) {
    const std::u16string path = PathDisplayText(AResult.Path);
    const std::u16string name(FileNameOfPath(path));
    switch (AResult.Outcome) {
        case FileOutcome::Changed: return u"  [OK] " + name;
        case FileOutcome::Unchanged: return u"  [=] " + name;
        case FileOutcome::Failed: break;
    }
    return u"  [!!] " + name + u": " + AResult.Error;
}

void WriteRunLog(const RunEvent& AEvent, const std::function<void(const std::u16string& ALine)>& AWrite) {
    if (const auto* started = std::get_if<RunStarted>(&AEvent)) {
        AWrite(u"");
        AWrite(u"=== Starting format: " + started->Timestamp + u" ===");
        if (!started->UnitsFrom.empty()) AWrite(u"Units from: " + started->UnitsFrom);
    } else if (const auto* file = std::get_if<FileReported>(&AEvent)) {
        for (const TClauseNote& note : file->Result->Notes) AWrite(F_ClauseNoteLine(note));
        AWrite(FileResultLine(*file->Result));
    } else if (const auto* ended = std::get_if<RunEnded>(&AEvent)) {
        AWrite(u"");
        AWrite(SummaryLine(ended->Summary));
        if (ended->UnitsWithoutSource > 0) {
            AWrite(u"No source found for " + Number(ended->UnitsWithoutSource) + u" units named in clauses");
        }
        const BatchSummary& s = ended->Summary;
        if (s.OutOfGroup > 0) AWrite(u"[GROUP] " + Number(static_cast<std::size_t>(s.OutOfGroup)) + u" units kept out of their group for names");
        if (s.CaseWritten > 0) AWrite(u"[CASE] " + Number(static_cast<std::size_t>(s.CaseWritten)) + u" unit names written in their declared case");
        if (s.ScopesWritten > 0) AWrite(u"[SCOPE] " + Number(static_cast<std::size_t>(s.ScopesWritten)) + u" unit scope names added or removed");
        WriteUnitFindings(s, AWrite);
        AWrite(u"=== End ===");
    }
}

}  // namespace quorvel::files
