#include "QuorvelCore.h"

#include <limits>
#include <optional>

#include "ClauseLayout.h"
#include "ClauseLocator.h"
#include "ClauseOrder.h"
#include "ClauseParser.h"
#include "KeepFirstUnits.h"
#include "KeepOrderMarker.h"
#include "KeywordSearch.h"
#include "TextRules.h"
#include "UnitFactsCache.h"
#include "UnitGroups.h"
#include "UnitNameWriting.h"
#include "UnitScopes.h"
#include "UnneededUnitEdits.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kInterfaceClause = u"interface uses";
constexpr std::u16string_view kImplementationClause = u"implementation uses";
constexpr std::u16string_view kOtherClause = u"uses";

std::size_t ToIndex(std::int32_t APosition) { return static_cast<std::size_t>(APosition - 1); }

std::u16string ApplyRewrites(std::u16string_view ASource, const std::vector<TClauseRewrite>& ARewrites) {
    std::size_t size = ASource.size();
    for (const TClauseRewrite& r : ARewrites) size += r.Text.size();
    std::u16string result;
    result.reserve(size);
    std::size_t copied = 0;
    for (const TClauseRewrite& r : ARewrites) {
        result.append(ASource.substr(copied, r.Begin - copied));
        result.append(r.Text);
        copied = r.End;
    }
    result.append(ASource.substr(copied));
    return result;
}

// A piece of the source as UTF-16: UTF-16 pieces as they stand, 8-bit ones
// widened into AStorage.
std::u16string_view AsUtf16(std::u16string_view APiece, const TWiden&, std::u16string&) { return APiece; }

std::u16string_view AsUtf16(std::string_view APiece, const TWiden& AWiden, std::u16string& AStorage) {
    AStorage = AWiden(APiece);
    return AStorage;
}

template <typename CharT>
std::basic_string_view<CharT> Piece(std::basic_string_view<CharT> AText, detail::TextRange ARange) {
    return AText.substr(ARange.Begin, ARange.Size());
}

// The whole text as UTF-16 for the name rule, widened only when a clause
// needs it: most files never do.
template <typename CharT>
class WholeText {
public:
    WholeText(std::basic_string_view<CharT> AText, const TWiden& AWiden) : FText(AText), FWiden(AWiden) {}
    std::u16string_view operator()() {
        if (!FWidened) FView = AsUtf16(FText, FWiden, FStorage);
        FWidened = true;
        return FView;
    }

private:
    std::basic_string_view<CharT> FText;
    const TWiden& FWiden;
    std::u16string FStorage;
    std::u16string_view FView;
    bool FWidened = false;
};

const TWiden kNoWiden;

// What the file needs of the units its editable clauses name, read in its
// UTF-16 text. An 8-bit text's positions differ from the widened one's, so the
// clauses are found again in it.
detail::UnitFindings FindUnitFindings(std::u16string_view AText, bool AIsUnit, const detail::LocatedClause& AFirst,
                                      const detail::LocatedClause* ASecond, const detail::NameRules& ARules) {
    const auto units = [&](const detail::LocatedClause* AClause, std::size_t ABegin, std::size_t AEnd) {
        std::optional<detail::ClauseUnits> found;
        TUsesBlock block;
        if (AClause == nullptr || !AClause->Editable || !detail::LocateUsesClause(AText, ABegin, AEnd, block))
            return found;
        found = detail::ClauseUnits{detail::FindableNames(AClause->Block),
                                    detail::TextRange{ToIndex(block.StartPos), static_cast<std::size_t>(block.EndPos)}};
        return found;
    };
    std::size_t implementationAt = AText.size();
    std::optional<detail::ClauseUnits> first, second;
    if (AIsUnit) {
        const std::size_t interfaceAt = detail::FindKeyword(AText, u"interface", 0, AText.size());
        implementationAt = detail::FindKeyword(AText, u"implementation", 0, AText.size());
        first = units(&AFirst, interfaceAt, implementationAt);
        second = units(ASecond, implementationAt, AText.size());
    } else {
        first = units(&AFirst, 0, AText.size());
    }
    return detail::FindUnneededUnits(AText, implementationAt, first ? &*first : nullptr, second ? &*second : nullptr,
                                     ARules);
}

}  // namespace

std::u16string F_ClauseNoteLine(const TClauseNote& ANote) {
    std::u16string_view tag = u"  [SKIP] ";
    switch (ANote.Kind) {
        case TClauseNoteKind::Skip: break;
        case TClauseNoteKind::Keep: tag = u"  [KEEP] "; break;
        case TClauseNoteKind::Init: tag = u"  [INIT] "; break;
        case TClauseNoteKind::Group: tag = u"  [GROUP] "; break;
        case TClauseNoteKind::Case: tag = u"  [CASE] "; break;
        case TClauseNoteKind::Scope: tag = u"  [SCOPE] "; break;
        case TClauseNoteKind::Unused:
        case TClauseNoteKind::UnusedKept: tag = u"  [UNUSED] "; break;
        case TClauseNoteKind::Move:
        case TClauseNoteKind::MoveKept: tag = u"  [MOVE] "; break;
    }
    return std::u16string(tag) + ANote.Section + u" \u2014 " + ANote.Text;
}

TQuorvel::TQuorvel(TFormatOptions AOptions)
    : FOptions(std::move(AOptions)),
      FUnitFacts(std::make_shared<detail::UnitFactsCache>()),
      FUnitEffects(std::make_shared<detail::UnitEffectsCache>()) {}

void TQuorvel::SetOptions(TFormatOptions AOptions) {
    // What units bring in is found through the scope names: other names, other facts.
    if (AOptions.UnitScopeNames != FOptions.UnitScopeNames) FUnitEffects = std::make_shared<detail::UnitEffectsCache>();
    FOptions = std::move(AOptions);
}

void TQuorvel::SetUnitCatalog(const TUnitCatalog* ACatalog) {
    FUnitCatalog = ACatalog;
    // A new cache: copies made before keep the one that fits their catalog.
    FUnitFacts = std::make_shared<detail::UnitFactsCache>();
    FUnitEffects = std::make_shared<detail::UnitEffectsCache>();
}

std::u16string TQuorvel::F_FormatSource(const std::u16string& ASource) const {
    const std::vector<TClauseRewrite> rewrites = F_ClauseRewrites(ASource);
    return rewrites.empty() ? ASource : ApplyRewrites(ASource, rewrites);
}

std::vector<TClauseRewrite> TQuorvel::F_ClauseRewrites(std::u16string_view ASource) const {
    return ClauseRewrites(ASource, kNoWiden);
}

std::vector<TClauseRewrite> TQuorvel::F_ClauseRewrites(std::string_view ASource, const TWiden& AWiden) const {
    return ClauseRewrites(ASource, AWiden);
}

template <typename CharT>
std::vector<TClauseRewrite> TQuorvel::ClauseRewrites(std::basic_string_view<CharT> AText, const TWiden& AWiden) const {
    // Positions are 32-bit by contract; a longer text is left alone.
    if (AText.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return {};
    const auto length = static_cast<std::int32_t>(AText.size());
    const std::u16string_view lineBreak = detail::FirstLineBreak(AText);
    std::vector<TClauseRewrite> rewrites;

    const detail::KeepFirstMatcher keepFirst(FOptions.KeepFirstBuiltIn, FOptions.KeepFirstUnits,
                                             FOptions.UnitScopeNames);
    const detail::UnitScopes scopes(FOptions.UnitScopeNames, FUnitCatalog);
    const detail::UnitGroups groups(FOptions.UnitGroups);
    WholeText<CharT> wholeText(AText, AWiden);
    detail::NameRules nameRules;
    if ((FOptions.KeepNameResolution || FOptions.KeepInitOrder) && FUnitCatalog != nullptr) {
        nameRules.Names = FOptions.KeepNameResolution;
        nameRules.InitOrder = FOptions.KeepInitOrder;
        nameRules.Catalog = FUnitCatalog;
        nameRules.ScopeNames = &FOptions.UnitScopeNames;
        nameRules.Facts = FUnitFacts.get();
        nameRules.Effects = FUnitEffects.get();
        nameRules.Text = [&wholeText] { return wholeText(); };
        nameRules.ReadInclude = &FIncludeReader;
    }
    const auto note = [this](TClauseNote AClauseNote) {
        if (FOnClauseNote) FOnClauseNote(AClauseNote);
        if (FOnSkipBlock && AClauseNote.Kind == TClauseNoteKind::Skip) FOnSkipBlock(F_ClauseNoteLine(AClauseNote));
    };
    const auto clauseNote = [&](TClauseNoteKind AKind, std::u16string_view AClause, std::u16string_view AText) {
        if (FOnSkipBlock || FOnClauseNote) note({AKind, std::u16string(AClause), std::u16string(AText)});
    };

    // The clause of a section, found in the source as given: the text a
    // rewrite replaces always ends before `implementation`, so the second
    // clause is found just as it would be in the rewritten text.
    const auto locate = [&](std::int32_t AStart, std::int32_t AEnd, std::u16string_view AClause,
                            std::int32_t AMustEndBefore) {
        std::optional<detail::LocatedClause> clause;
        TUsesBlock block;
        if (!ExtractUsesBlock(AText, AStart, AEnd, block, AWiden)) return clause;
        clause.emplace(detail::LocatedClause{std::move(block), AClause, {}, false, false, {}});
        // The marker wins over everything else, whatever the clause holds. It
        // counts in the comments after the `;` on its line too: the rewrite
        // would take them into the clause.
        const TUsesBlock& located = clause->Block;
        const std::size_t clauseBegin = ToIndex(located.StartPos);
        const auto replacedEnd = static_cast<std::size_t>(located.ReplaceEndPos);
        if (detail::HasKeepOrderMarker(AText.substr(clauseBegin, replacedEnd - clauseBegin))) {
            clause->Skip = u"marked to keep its order";
        } else if (located.HasConditionals) {
            clause->Skip = u"contains compiler directives";
        } else {
            clause->Editable = located.IsUnitList && !located.Entries.empty() && located.ReplaceEndPos < AMustEndBefore;
        }
        clause->AfterDirective = detail::HoldsDirective(AText.substr(ToIndex(AStart), clauseBegin - ToIndex(AStart)));
        return clause;
    };

    // The clause's entries in their order, laid out; the notes on the order told.
    const auto orderedText = [&](TUsesBlock& ABlock, std::u16string_view ASection) {
        const auto clauseNoteHere = [&](TClauseNoteKind AKind, std::u16string_view ANote) {
            clauseNote(AKind, ASection, ANote);
        };
        if (detail::WritesUnitNames(FOptions))
            detail::WriteUnitNames(ABlock.Entries, FOptions, scopes, FUnitCatalog, clauseNoteHere);
        const detail::EntryPlaces places =
            detail::PlaceEntries(ABlock.Entries, groups, scopes, FUnitCatalog, nameRules.Catalog != nullptr);
        const detail::ClauseOrder order = detail::OrderEntries(ABlock.Entries, keepFirst, nameRules, places);
        for (const std::u16string& kept : order.Notes) clauseNoteHere(TClauseNoteKind::Keep, kept);
        for (const std::u16string& moved : order.GroupNotes) clauseNoteHere(TClauseNoteKind::Group, moved);
        for (const std::u16string& kept : order.InitNotes) clauseNoteHere(TClauseNoteKind::Init, kept);
        return BuildUsesText(ABlock, order.Entries, lineBreak, order.GroupStarts);
    };

    const auto formatClause = [&](detail::LocatedClause& AClause) {
        if (!AClause.Skip.empty()) clauseNote(TClauseNoteKind::Skip, AClause.Section, AClause.Skip);
        for (TClauseNote& finding : AClause.Notes) note(std::move(finding));
        if (!AClause.Editable) return;
        TUsesBlock& block = AClause.Block;
        TClauseRewrite r{ToIndex(block.StartPos), static_cast<std::size_t>(block.ReplaceEndPos), {}};
        if (block.Entries.empty()) {
            detail::RemoveWholeClause(AText, block.LeadingComments, FOptions.PreserveComments, lineBreak, r);
        } else {
            r.Text = orderedText(block, AClause.Section);
            // A lone CR written just before an LF would read back as one CR LF break.
            if (r.Text.back() == u'\r' && r.End < AText.size() && AText[r.End] == CharT('\n')) r.Text += u'\n';
        }
        std::u16string original;
        if (AsUtf16(AText.substr(r.Begin, r.End - r.Begin), AWiden, original) != r.Text)
            rewrites.push_back(std::move(r));
    };

    const std::int32_t interfacePos = FindKeyword(AText, u"interface", 1, length);
    // Without `interface` the text is no unit whatever follows: spare the scan.
    const std::int32_t implementationPos = interfacePos > 0 ? FindKeyword(AText, u"implementation", 1, length) : -1;
    const bool isUnit = interfacePos > 0 && implementationPos > interfacePos;
    std::optional<detail::LocatedClause> first, second;
    if (isUnit) {
        first = locate(interfacePos, implementationPos - 1, kInterfaceClause, implementationPos);
        second = locate(implementationPos, length, kImplementationClause, std::numeric_limits<std::int32_t>::max());
    } else {
        first = locate(1, length, kOtherClause, std::numeric_limits<std::int32_t>::max());
    }
    std::vector<TUsesEntry> created;  // moved into an implementation clause the file lacks
    if (FOptions.FindsUnneededUnits() && FUnitCatalog != nullptr && first) {
        detail::NameRules findingRules;
        findingRules.Catalog = FUnitCatalog;
        findingRules.ScopeNames = &FOptions.UnitScopeNames;
        findingRules.ReadInclude = &FIncludeReader;
        findingRules.InitOrder = FOptions.KeepInitOrder;
        findingRules.Effects = FUnitEffects.get();
        // The name rule's own when it is on: what the finder reads of the file, it reads too.
        const detail::NameRules& rules = nameRules.Catalog != nullptr ? nameRules : findingRules;
        const detail::UnitFindings findings =
            FindUnitFindings(wholeText(), isUnit, *first, second ? &*second : nullptr, rules);
        const bool canCreate = isUnit && detail::MayTakeClauseAfter(AText, ToIndex(implementationPos));
        detail::ApplyUnitFindings(findings, FOptions, *first, second ? &*second : nullptr, canCreate, created);
    }
    if (first) formatClause(*first);
    if (!created.empty()) {
        TUsesBlock block;
        block.Entries = std::move(created);
        rewrites.push_back(detail::ClauseInsertion(AText, ToIndex(implementationPos), lineBreak,
                                                   orderedText(block, kImplementationClause)));
    }
    if (second) formatClause(*second);
    return rewrites;
}

template <typename CharT>
std::int32_t TQuorvel::FindKeyword(std::basic_string_view<CharT> AText, std::u16string_view AKeyword,
                                   std::int32_t AStart, std::int32_t AEnd) const {
    if (AStart < 1 || AEnd < AStart) return -1;
    const std::size_t found = detail::FindKeyword(AText, AKeyword, ToIndex(AStart), static_cast<std::size_t>(AEnd));
    return found == detail::kNotFound ? -1 : static_cast<std::int32_t>(found + 1);
}

template <typename CharT>
bool TQuorvel::ExtractUsesBlock(std::basic_string_view<CharT> AText, std::int32_t AStart, std::int32_t AEnd,
                                TUsesBlock& ABlock, const TWiden& AWiden) const {
    ABlock = TUsesBlock{};
    if (!detail::LocateUsesClause(AText, ToIndex(AStart), static_cast<std::size_t>(AEnd), ABlock)) return false;
    std::u16string clause;
    ParseUnits(AsUtf16(Piece(AText, detail::ClauseTextRange(ABlock)), AWiden, clause), ABlock);
    const detail::ClauseLineEnd lineEnd = detail::ReadClauseLineEnd(AText, ABlock);
    std::u16string comments;
    detail::TakeLineEnd(lineEnd, AsUtf16(Piece(AText, lineEnd.Comments), AWiden, comments), ABlock);
    return true;
}

void TQuorvel::ParseUnits(std::u16string_view AClauseText, TUsesBlock& ABlock) const {
    detail::ParseUnits(AClauseText, FOptions.PreserveComments, ABlock);
}

std::u16string TQuorvel::BuildUsesText(const TUsesBlock& ABlock, const std::vector<TUsesEntry>& AOrderedEntries,
                                      std::u16string_view ALineBreak, const std::vector<char>& AGroupStarts) const {
    return detail::BuildUsesText(
        ABlock.LeadingComments, AOrderedEntries,
        {FOptions.PreserveComments, FOptions.VerticalList, FOptions.WordWrapAt, FOptions.GroupSeparator}, ALineBreak,
        AGroupStarts);
}

}  // namespace quorvel
