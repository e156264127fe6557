#include "UnneededUnitEdits.h"

#include <algorithm>

#include "TextRules.h"
#include "UnitNames.h"

namespace quorvel::detail {
namespace {

std::u16string WrittenName(const TUsesEntry& AEntry) { return std::u16string(PlainUnitName(AEntry)); }

// An entry's own comments, each a line of the clause's leading comments.
void KeepComments(const TUsesEntry& AEntry, std::vector<std::u16string>& ALeadingComments) {
    const std::u16string_view before = TrimBlanks(std::u16string_view(AEntry.UnitName).substr(0, AEntry.NameStart));
    if (!before.empty()) ALeadingComments.emplace_back(before);
    if (!AEntry.TrailingComment.empty()) ALeadingComments.push_back(AEntry.TrailingComment);
}

std::u16string InitText(const std::u16string& AName, const std::u16string& AThrough) {
    if (AThrough.empty()) return AName + u" runs code as the program starts or ends: kept";
    return AName + u" brings in " + AThrough + u", which runs code as the program starts or ends: kept";
}

// What becomes of each entry of a clause.
enum class Fate : char { Stays, Removed, Moved };

// Leaves out the entries that go; the comments of removed ones stay in the clause.
void TakeOutEntries(TUsesBlock& ABlock, const std::vector<Fate>& AFates) {
    std::vector<TUsesEntry> kept;
    for (std::size_t i = 0; i < ABlock.Entries.size(); ++i) {
        if (AFates[i] == Fate::Stays) kept.push_back(std::move(ABlock.Entries[i]));
        else if (AFates[i] == Fate::Removed)
            KeepComments(ABlock.Entries[i], ABlock.LeadingComments);
    }
    ABlock.Entries = std::move(kept);
}

void NoteAndRemove(const std::vector<UnitFinding>& AFindings, const TFormatOptions& AOptions, LocatedClause& AClause,
                   std::vector<Fate>& AFates) {
    const bool remove = AOptions.RemoveUnneededUnits && AClause.Editable;
    for (const UnitFinding& finding : AFindings) {
        const std::u16string name = WrittenName(AClause.Block.Entries[finding.Entry]);
        if (finding.Kind == UnitFindingKind::Unneeded) {
            if (remove) AFates[finding.Entry] = Fate::Removed;
            if (remove || AOptions.ReportUnneededUnits)
                AClause.Notes.push_back({TClauseNoteKind::Unused, std::u16string(AClause.Section),
                                         name + (remove ? u" (removed)" : u""), remove});
        } else if (finding.Kind == UnitFindingKind::UnneededWithInit && AOptions.ReportUnneededUnits) {
            AClause.Notes.push_back(
                {TClauseNoteKind::UnusedKept, std::u16string(AClause.Section), InitText(name, finding.Why)});
        }
    }
}

}  // namespace

std::vector<std::u16string> FindableNames(const TUsesBlock& ABlock) {
    std::vector<std::u16string> names;
    for (const TUsesEntry& entry : ABlock.Entries) names.push_back(WrittenName(entry));
    return names;
}

void ApplyUnitFindings(const UnitFindings& AFindings, const TFormatOptions& AOptions, LocatedClause& AFirst,
                       LocatedClause* ASecond, bool ACanCreateSecond, std::vector<TUsesEntry>& ACreated) {
    std::vector<Fate> firstFates(AFirst.Block.Entries.size(), Fate::Stays);
    NoteAndRemove(AFindings.First, AOptions, AFirst, firstFates);
    const bool canMove = AOptions.MoveToImplementation && AFirst.Editable && !AFirst.AfterDirective &&
                         (ASecond ? ASecond->Editable && !ASecond->AfterDirective : ACanCreateSecond);
    std::vector<TUsesEntry> moved;
    for (const UnitFinding& finding : AFindings.First) {
        if (finding.Kind != UnitFindingKind::ImplementationOnly) continue;
        const TUsesEntry& entry = AFirst.Block.Entries[finding.Entry];
        const bool move = canMove && finding.Why.empty();
        if (!move && !AOptions.ReportUnneededUnits) continue;
        std::u16string text = WrittenName(entry) + u" is used only in the implementation";
        if (!finding.Why.empty()) text += u"; it stays, as " + finding.Why;
        if (move) text += u" (moved)";
        AFirst.Notes.push_back({finding.Why.empty() ? TClauseNoteKind::Move : TClauseNoteKind::MoveKept,
                                std::u16string(AFirst.Section), std::move(text), move});
        if (!move) continue;
        firstFates[finding.Entry] = Fate::Moved;
        moved.push_back(entry);
        moved.back().BlankLineBefore = false;
    }
    TakeOutEntries(AFirst.Block, firstFates);
    if (ASecond) {
        std::vector<Fate> secondFates(ASecond->Block.Entries.size(), Fate::Stays);
        NoteAndRemove(AFindings.Second, AOptions, *ASecond, secondFates);
        TakeOutEntries(ASecond->Block, secondFates);
        ASecond->Block.Entries.insert(ASecond->Block.Entries.begin(), moved.begin(), moved.end());
    } else {
        ACreated = std::move(moved);
    }
}

}  // namespace quorvel::detail
