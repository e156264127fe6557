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
#include "UsedIdentifiers.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kInterfaceClause = u"interface uses";
constexpr std::u16string_view kImplementationClause = u"implementation uses";
constexpr std::u16string_view kOtherClause = u"uses";

// "  [SKIP] interface uses — contains compiler directives" and the like.
std::u16string ClauseNote(std::u16string_view AKind, std::u16string_view AClause, std::u16string_view AText) {
    std::u16string note = u"  [";
    note += AKind;
    note += u"] ";
    note += AClause;
    note += u" \u2014 ";
    note += AText;
    return note;
}

// One rewritten clause: the code units [Begin, End) of the source give way to Text.
struct Replacement {
    std::size_t Begin;
    std::size_t End;
    std::u16string Text;
};

std::size_t ToIndex(std::int32_t APosition) { return static_cast<std::size_t>(APosition - 1); }

std::u16string ApplyReplacements(std::u16string_view ASource, const std::vector<Replacement>& AReplacements) {
    std::size_t size = ASource.size();
    for (const Replacement& r : AReplacements) size += r.Text.size();
    std::u16string result;
    result.reserve(size);
    std::size_t copied = 0;
    for (const Replacement& r : AReplacements) {
        result.append(ASource.substr(copied, r.Begin - copied));
        result.append(r.Text);
        copied = r.End;
    }
    result.append(ASource.substr(copied));
    return result;
}

}  // namespace

TQuorvel::TQuorvel()
    : FUnitScopeNames(DefaultUnitScopeNames()), FUnitFacts(std::make_shared<detail::UnitFactsCache>()) {}

void TQuorvel::SetUnitCatalog(const TUnitCatalog* ACatalog) {
    FUnitCatalog = ACatalog;
    // A new cache: copies made before keep the one that fits their catalog.
    FUnitFacts = std::make_shared<detail::UnitFactsCache>();
}

std::u16string TQuorvel::F_FormatSource(const std::u16string& ASource) const {
    // Positions are 32-bit by contract; a longer text is left alone.
    if (ASource.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return ASource;
    const std::u16string_view text = ASource;
    const auto length = static_cast<std::int32_t>(text.size());
    const std::u16string_view lineBreak = detail::FirstLineBreak(text);
    std::vector<Replacement> replacements;

    const detail::KeepFirstMatcher keepFirst(FKeepFirstBuiltIn, FKeepFirstUnits, FUnitScopeNames);
    std::optional<TIdentifierSet> usedIdentifiers;
    detail::NameRules nameRules;
    if (FKeepNameResolution && FUnitCatalog != nullptr) {
        nameRules.Catalog = FUnitCatalog;
        nameRules.ScopeNames = &FUnitScopeNames;
        nameRules.Facts = FUnitFacts.get();
        nameRules.UsedIdentifiers = [&]() -> const TIdentifierSet& {
            if (!usedIdentifiers) usedIdentifiers = detail::UsedIdentifiers(text);
            return *usedIdentifiers;
        };
        nameRules.Spelling = [&](std::u16string_view AIdentifier) { return detail::FirstSpelling(text, AIdentifier); };
    }
    const auto note = [this](std::u16string_view AKind, std::u16string_view AClause, std::u16string_view AText) {
        if (FOnSkipBlock) FOnSkipBlock(ClauseNote(AKind, AClause, AText));
    };

    // Each section's first clause, found in the source as given: the text a
    // rewrite replaces always ends before `implementation`, so the second
    // clause is found just as it would be in the rewritten text.
    const auto formatClause = [&](std::int32_t AStart, std::int32_t AEnd, std::u16string_view AClause,
                                  std::int32_t AMustEndBefore) {
        TUsesBlock block;
        if (!ExtractUsesBlock(text, AStart, AEnd, block)) return;
        // The marker wins over everything else, whatever the clause holds. It
        // counts in the comments after the `;` on its line too: the rewrite
        // would take them into the clause.
        const std::size_t clauseBegin = ToIndex(block.StartPos);
        const std::size_t replacedEnd = static_cast<std::size_t>(block.ReplaceEndPos);
        if (detail::HasKeepOrderMarker(text.substr(clauseBegin, replacedEnd - clauseBegin))) {
            note(u"SKIP", AClause, u"marked to keep its order");
            return;
        }
        if (block.HasConditionals) {
            note(u"SKIP", AClause, u"contains compiler directives");
            return;
        }
        if (!block.IsUnitList || block.Entries.empty() || block.ReplaceEndPos >= AMustEndBefore) return;
        const detail::ClauseOrder order = detail::OrderEntries(block.Entries, keepFirst, nameRules);
        for (const std::u16string& kept : order.Notes) note(u"KEEP", AClause, kept);
        Replacement r{ToIndex(block.StartPos), static_cast<std::size_t>(block.ReplaceEndPos),
                      BuildUsesText(block, order.Entries, lineBreak)};
        // A lone CR written just before an LF would read back as one CR LF break.
        if (r.Text.back() == u'\r' && r.End < text.size() && text[r.End] == u'\n') r.Text += u'\n';
        replacements.push_back(std::move(r));
    };

    const std::int32_t interfacePos = FindKeyword(text, u"interface", 1, length);
    // Without `interface` the text is no unit whatever follows: spare the scan.
    const std::int32_t implementationPos =
        interfacePos > 0 ? FindKeyword(text, u"implementation", 1, length) : -1;
    if (interfacePos > 0 && implementationPos > interfacePos) {
        formatClause(interfacePos, implementationPos - 1, kInterfaceClause, implementationPos);
        formatClause(implementationPos, length, kImplementationClause, std::numeric_limits<std::int32_t>::max());
    } else {
        formatClause(1, length, kOtherClause, std::numeric_limits<std::int32_t>::max());
    }
    if (replacements.empty()) return ASource;
    return ApplyReplacements(text, replacements);
}

std::int32_t TQuorvel::FindKeyword(std::u16string_view AText, std::u16string_view AKeyword, std::int32_t AStart,
                                   std::int32_t AEnd) const {
    if (AStart < 1 || AEnd < AStart) return -1;
    const std::size_t found = detail::FindKeyword(AText, AKeyword, ToIndex(AStart), static_cast<std::size_t>(AEnd));
    return found == detail::kNotFound ? -1 : static_cast<std::int32_t>(found + 1);
}

bool TQuorvel::ExtractUsesBlock(std::u16string_view AText, std::int32_t AStart, std::int32_t AEnd,
                                TUsesBlock& ABlock) const {
    ABlock = TUsesBlock{};
    if (!detail::LocateUsesClause(AText, ToIndex(AStart), static_cast<std::size_t>(AEnd), ABlock)) return false;
    ParseUnits(detail::ClauseText(AText, ABlock), ABlock);
    detail::TakeLineEnd(AText, ABlock);
    return true;
}

void TQuorvel::ParseUnits(std::u16string_view AClauseText, TUsesBlock& ABlock) const {
    detail::ParseUnits(AClauseText, FPreserveComments, ABlock);
}

std::u16string TQuorvel::BuildUsesText(const TUsesBlock& ABlock, const std::vector<TUsesEntry>& AOrderedEntries,
                                      std::u16string_view ALineBreak) const {
    return detail::BuildUsesText(ABlock.LeadingComments, AOrderedEntries,
                                 {FPreserveComments, FVerticalList, FWordWrapAt}, ALineBreak);
}

}  // namespace quorvel
