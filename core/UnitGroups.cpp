#include "UnitGroups.h"

#include <algorithm>

#include "AsciiCase.h"
#include "FormatOptions.h"
#include "TextRules.h"
#include "UnitNames.h"
#include "UnitScopes.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kOther = u"other";
constexpr std::u16string_view kProject = u"project";
constexpr std::u16string_view kKeepBlocks = u"keep-blocks";

struct Preset {
    std::u16string_view Name;
    std::vector<std::u16string_view> Groups;
};

// A group that is only a preset's name stands for the preset's groups; as one
// pattern of several it is a unit name (`Vcl.*;Vcl`).
// A Delphi VCL project: the platform, the run-time library and the VCL as a
// new VCL unit lists them, then data access, the web and XML libraries,
// everything else and the project's own.
// A Lazarus project: Free Pascal's run-time and component libraries, the LCL
// and the packages Lazarus brings, then everything else and the project's own.
const std::vector<Preset>& Presets() {
    static const std::vector<Preset> presets = {
        {u"vcl",
         {u"Winapi.*", u"System.*", u"Vcl.*", u"Data.*;Datasnap.*;FireDAC.*;Bde.*", u"Xml.*;Soap.*;Web.*;REST.*",
          kOther, kProject}},
        {u"lazarus",
         {u"ObjPas;SysUtils;Classes;Types;TypInfo;Math;StrUtils;DateUtils;Variants;Contnrs;SyncObjs;RtlConsts;"
          u"SysConst;Unix;BaseUnix;UnixType;Windows;Messages;DOS;CTypes;Character;"
          u"fp*;Fgl;IniFiles;Process;Pipes;Streamex;RegExpr;Base64;Zipper;ZStream;CustApp;DOM;XMLRead;XMLWrite;"
          u"DB;BufDataset;SQLDB;",
          u"Interfaces;LCL*;LResources;LMessages;Forms;Controls;Graphics;Dialogs;StdCtrls;ExtCtrls;ComCtrls;"
          u"Buttons;Menus;ActnList;Clipbrd;Grids;Spin;EditBtn;CheckLst;ImgList;GraphType;IntfGraphics;"
          u"Laz*;FileUtil;Masks;DbCtrls;DBGrids;ButtonPanel;ExtDlgs;Printers;Themes;WSLCLClasses",
          kOther, kProject}},
    };
    return presets;
}

const Preset* FindPreset(std::u16string_view AName) {
    for (const Preset& preset : Presets()) {
        if (SameAsciiName(preset.Name, AName)) return &preset;
    }
    return nullptr;
}

bool IsWord(std::u16string_view AGroup) {
    return SameAsciiName(AGroup, kOther) || SameAsciiName(AGroup, kProject) || SameAsciiName(AGroup, kKeepBlocks) ||
           FindPreset(AGroup) != nullptr;
}

std::u16string_view Trimmed(std::u16string_view AText) {
    while (!AText.empty() && detail::IsBlank(AText.front())) AText.remove_prefix(1);
    while (!AText.empty() && detail::IsBlank(AText.back())) AText.remove_suffix(1);
    return AText;
}

template <typename Visit>
void ForEachPattern(std::u16string_view AGroup, Visit AVisit) {
    while (!AGroup.empty()) {
        const std::size_t semicolon = AGroup.find(u';');
        const std::u16string_view pattern = Trimmed(AGroup.substr(0, semicolon));
        if (!pattern.empty()) AVisit(pattern);
        if (semicolon == std::u16string_view::npos) break;
        AGroup.remove_prefix(semicolon + 1);
    }
}

std::u16string Quoted(std::u16string_view AText) { return u"\"" + std::u16string(AText) + u"\""; }

// `*` any run of code units, `?` any one; ASCII case ignored.
bool Matches(std::u16string_view APattern, std::u16string_view AName) {
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < AName.size()) {
        if (p < APattern.size() && (APattern[p] == u'?' || FoldAscii(APattern[p]) == FoldAscii(AName[n]))) {
            ++p;
            ++n;
        } else if (p < APattern.size() && APattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < APattern.size() && APattern[p] == u'*') ++p;
    return p == APattern.size();
}

std::size_t Letters(std::u16string_view APattern) {
    return static_cast<std::size_t>(std::count_if(APattern.begin(), APattern.end(),
                                                  [](char16_t c) { return c != u'*' && c != u'?'; }));
}

}  // namespace

std::u16string F_UnitGroupProblem(std::u16string_view AGroup) {
    const std::u16string_view group = Trimmed(AGroup);
    if (group.empty()) return u"a group needs at least one pattern";
    if (IsWord(group)) return {};
    std::u16string problem;
    ForEachPattern(group, [&](std::u16string_view APattern) {
        if (!problem.empty()) return;
        if (SameAsciiName(APattern, kOther) || SameAsciiName(APattern, kProject)) {
            problem = Quoted(APattern) + u" stands for a group of its own and cannot be one pattern of several";
            return;
        }
        for (char16_t c : APattern) {
            if (!detail::IsIdentifierChar(c) && c != u'.' && c != u'*' && c != u'?') {
                problem = Quoted(APattern) + u" is not a unit name pattern (letters, digits, _, ., * and ?)";
                return;
            }
        }
    });
    return problem;
}

}  // namespace quorvel

namespace quorvel::detail {

UnitGroups::UnitGroups(const std::vector<std::u16string>& AGroups) {
    FOtherRank = FProjectRank = std::u16string_view::npos;
    for (const std::u16string& group : AGroups) {
        if (!F_UnitGroupProblem(group).empty()) continue;
        const std::u16string_view trimmed = Trimmed(group);
        if (SameAsciiName(trimmed, kKeepBlocks)) {
            FKeepBlocks = true;
        } else if (const Preset* preset = FindPreset(trimmed)) {
            for (std::u16string_view presetGroup : preset->Groups) Add(presetGroup);
        } else {
            Add(trimmed);
        }
    }
    if (FGroups.empty()) return;
    if (FOtherRank == std::u16string_view::npos) Add(kOther);
    if (FProjectRank == std::u16string_view::npos) Add(kProject);
}

void UnitGroups::Add(std::u16string_view AGroup) {
    // A name listed twice keeps its first place.
    if (SameAsciiName(AGroup, kOther)) {
        if (FOtherRank != std::u16string_view::npos) return;
        FOtherRank = FGroups.size();
    } else if (SameAsciiName(AGroup, kProject)) {
        if (FProjectRank != std::u16string_view::npos) return;
        FProjectRank = FGroups.size();
    }
    const std::size_t rank = FGroups.size();
    if (rank != FOtherRank && rank != FProjectRank) {
        ForEachPattern(AGroup, [&](std::u16string_view APattern) {
            FDotted = FDotted || APattern.find(u'.') != std::u16string_view::npos;
            if (APattern.find_first_of(u"*?") == std::u16string_view::npos) FExact.try_emplace(FoldAscii(APattern), rank);
            else FWildcards.emplace_back(rank, APattern);
        });
    }
    FGroups.emplace_back(AGroup);
}

std::pair<std::size_t, std::size_t> UnitGroups::BestMatch(std::u16string_view AName) const {
    std::pair<std::size_t, std::size_t> best{FOtherRank, 0};
    if (const auto exact = FExact.find(FoldAscii(AName)); exact != FExact.end()) best = {exact->second, AName.size() + 1};
    for (const auto& [rank, pattern] : FWildcards) {
        const std::size_t letters = Letters(pattern) + 1;  // a lone `*` still matches
        const bool better = letters > best.second || (letters == best.second && rank < best.first);
        if (better && Matches(pattern, AName)) best = {rank, letters};
    }
    return best;
}

std::size_t UnitGroups::Rank(std::u16string_view AName, const UnitScopes& AScopes,
                             const TUnitCatalog* ACatalog) const {
    if (AName.empty()) return FOtherRank;
    auto best = BestMatch(AName);
    if (best.second == 0 && FDotted) {
        if (const std::u16string scoped = AScopes.WithScope(AName); !scoped.empty()) best = BestMatch(scoped);
    }
    if (best.second > 0) return best.first;
    if (ACatalog != nullptr && ACatalog->F_IsProjectUnit(AName)) return FProjectRank;
    return FOtherRank;
}

std::u16string_view UnitGroups::Name(std::size_t ARank) const {
    return ARank < FGroups.size() ? std::u16string_view(FGroups[ARank]) : std::u16string_view();
}

}  // namespace quorvel::detail

namespace quorvel::detail {

EntryPlaces PlaceEntries(const std::vector<TUsesEntry>& AEntries, const UnitGroups& AGroups,
                         const UnitScopes& AScopes, const TUnitCatalog* ACatalog, bool ALookUpNames) {
    EntryPlaces places;
    if (AGroups.KeepsBlocks()) {
        std::size_t block = 0;
        for (std::size_t i = 0; i < AEntries.size(); ++i) {
            if (i > 0 && AEntries[i].BlankLineBefore) ++block;
            places.Block.push_back(block);
        }
    }
    if (!AGroups.HasGroups() && !ALookUpNames) return places;
    for (std::size_t i = 0; i < AEntries.size(); ++i) {
        // Most names are plain and undotted: neither copied nor looked up then.
        const std::u16string_view plain = PlainUnitName(AEntries[i]);
        const std::u16string owned = plain.empty() ? ElementUnitName(AEntries[i]) : std::u16string();
        const std::u16string_view name = plain.empty() ? std::u16string_view(owned) : plain;
        if (AGroups.HasGroups()) places.Rank.push_back(AGroups.Rank(name, AScopes, ACatalog));
        if (!ALookUpNames || name.find(u'.') == std::u16string_view::npos) continue;
        std::u16string lookUp = AScopes.CatalogName(name);
        if (lookUp == name) continue;
        // The first name that differs: the others are as written.
        if (places.LookupNames.empty()) {
            for (const TUsesEntry& entry : AEntries) places.LookupNames.push_back(ElementUnitName(entry));
        }
        places.LookupNames[i] = std::move(lookUp);
    }
    if (AGroups.HasGroups()) {
        for (std::size_t rank = 0; !AGroups.Name(rank).empty(); ++rank) places.GroupNames.emplace_back(AGroups.Name(rank));
    }
    return places;
}

}  // namespace quorvel::detail
