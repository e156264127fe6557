#include "QuorvelCore.h"

#include <limits>

#include "ClauseLayout.h"
#include "ClauseLocator.h"
#include "ClauseParser.h"
#include "KeywordSearch.h"
#include "NameOrder.h"
#include "TextRules.h"
#include "UnitFactsCache.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kSkipInterface = u"  [SKIP] interface uses \u2014 contains compiler directives";
constexpr std::u16string_view kSkipImplementation =
    u"  [SKIP] implementation uses \u2014 contains compiler directives";
constexpr std::u16string_view kSkipUses = u"  [SKIP] uses \u2014 contains compiler directives";

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

    // Each section's first clause, found in the source as given: the text a
    // rewrite replaces always ends before `implementation`, so the second
    // clause is found just as it would be in the rewritten text.
    const auto formatClause = [&](std::int32_t AStart, std::int32_t AEnd, std::u16string_view ASkipMessage,
                                  std::int32_t AMustEndBefore) {
        TUsesBlock block;
        if (!ExtractUsesBlock(text, AStart, AEnd, block)) return;
        if (block.HasConditionals) {
            if (FOnSkipBlock) FOnSkipBlock(std::u16string(ASkipMessage));
            return;
        }
        if (!block.IsUnitList || block.Entries.empty() || block.ReplaceEndPos >= AMustEndBefore) return;
        Replacement r{ToIndex(block.StartPos), static_cast<std::size_t>(block.ReplaceEndPos),
                      BuildUsesText(block, lineBreak)};
        // A lone CR written just before an LF would read back as one CR LF break.
        if (r.Text.back() == u'\r' && r.End < text.size() && text[r.End] == u'\n') r.Text += u'\n';
        replacements.push_back(std::move(r));
    };

    const std::int32_t interfacePos = FindKeyword(text, u"interface", 1, length);
    // Without `interface` the text is no unit whatever follows: spare the scan.
    const std::int32_t implementationPos =
        interfacePos > 0 ? FindKeyword(text, u"implementation", 1, length) : -1;
    if (interfacePos > 0 && implementationPos > interfacePos) {
        formatClause(interfacePos, implementationPos - 1, kSkipInterface, implementationPos);
        formatClause(implementationPos, length, kSkipImplementation, std::numeric_limits<std::int32_t>::max());
    } else {
        formatClause(1, length, kSkipUses, std::numeric_limits<std::int32_t>::max());
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

std::vector<TUsesEntry> TQuorvel::SortEntries(const TUsesBlock& ABlock) const {
    return detail::SortEntries(ABlock.Entries);
}

std::u16string TQuorvel::BuildUsesText(const TUsesBlock& ABlock, std::u16string_view ALineBreak) const {
    return detail::BuildUsesText(ABlock.LeadingComments, SortEntries(ABlock),
                                 {FPreserveComments, FVerticalList, FWordWrapAt}, ALineBreak);
}

}  // namespace quorvel
