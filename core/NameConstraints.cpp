#include "NameConstraints.h"

#include <algorithm>
#include <unordered_set>

#include "InterfaceIdentifiers.h"
#include "UnitEffectsCache.h"
#include "UnitFactsCache.h"
#include "UsedIdentifiers.h"

namespace quorvel::detail {
namespace {

struct Parameter {
    std::u16string_view Type;  // "!A/B" for a predefined type, else as written
    bool Optional;             // has a default value
};

// A signature as the interface reader writes it: `modifier:type[=];` each.
std::vector<Parameter> Parameters(std::u16string_view ASignature) {
    std::vector<Parameter> parameters;
    while (!ASignature.empty()) {
        const std::size_t end = std::min(ASignature.find(u';'), ASignature.size());
        std::u16string_view parameter = ASignature.substr(0, end);
        const bool optional = parameter.ends_with(u'=');
        if (optional) parameter.remove_suffix(1);
        const std::size_t colon = parameter.find(u':');
        parameters.push_back({colon == std::u16string_view::npos ? parameter : parameter.substr(colon + 1), optional});
        ASignature.remove_prefix(std::min(end + 1, ASignature.size()));
    }
    return parameters;
}

// Kinds of predefined types between which the compiler converts implicitly:
// an argument may suit two types of one kind equally well, and then the
// nearer unit's routine wins (a Byte and a Word parameter, proven with fpc).
enum TypeKinds : unsigned { kNumber = 1, kText = 2, kBoolean = 4, kPointer = 8, kAny = 15 };

unsigned KindsOf(std::u16string_view AIdentities) {
    static constexpr std::pair<std::u16string_view, unsigned> kKinds[] = {
        {u"ANSISTRING", kText}, {u"SHORTSTRING", kText}, {u"UNICODESTRING", kText}, {u"WIDESTRING", kText},
        {u"ANSICHAR", kText},   {u"WIDECHAR", kText},    {u"BOOLEAN", kBoolean},    {u"POINTER", kPointer},
        {u"VARIANT", kAny}};
    unsigned kinds = 0;
    for (std::size_t from = 1; from <= AIdentities.size();) {
        const std::size_t slash = std::min(AIdentities.find(u'/', from), AIdentities.size());
        const std::u16string_view identity = AIdentities.substr(from, slash - from);
        unsigned kind = kNumber;  // every other predefined type is an integer or a real
        for (const auto& [name, named] : kKinds) {
            if (identity == name) kind = named;
        }
        kinds |= kind;
        from = slash + 1;
    }
    return kinds;
}

// No call can match both: their counts of parameters cannot meet, or a
// parameter every call passes has predefined types of kinds that never
// convert into each other (a number and a string). Types declared elsewhere
// may be aliases of anything: they never tell.
bool SurelyDistinct(std::u16string_view ALeft, std::u16string_view ARight) {
    const std::vector<Parameter> left = Parameters(ALeft), right = Parameters(ARight);
    const auto required = [](const std::vector<Parameter>& AList) {
        return static_cast<std::size_t>(std::count_if(AList.begin(), AList.end(), [](const Parameter& AParameter) {
            return !AParameter.Optional;
        }));
    };
    const std::size_t leftRequired = required(left), rightRequired = required(right);
    if (left.size() < rightRequired || right.size() < leftRequired) return true;
    for (std::size_t k = 0; k < std::min(leftRequired, rightRequired); ++k) {
        const std::u16string_view a = left[k].Type, b = right[k].Type;
        if (a.starts_with(u'!') && b.starts_with(u'!') && (KindsOf(a) & KindsOf(b)) == 0) return true;
    }
    return false;
}

// The parameter lists of every routine AName that ASet declares with `overload`.
std::vector<std::u16string_view> Signatures(const TIdentifierSet& ASet, const std::u16string& AName) {
    const std::u16string prefix = std::u16string(kSignaturePrefix) + AName + u' ';
    std::vector<std::u16string_view> signatures;
    for (const std::u16string& identifier : ASet) {
        if (identifier.starts_with(prefix)) signatures.push_back(std::u16string_view(identifier).substr(prefix.size()));
    }
    return signatures;
}

// Every pair of the units' routines AName may be told apart by its parameters.
bool DistinctOverloads(const std::vector<const TIdentifierSet*>& ASets, const std::u16string& AName) {
    std::vector<std::vector<std::u16string_view>> signatures;
    for (const TIdentifierSet* set : ASets) signatures.push_back(Signatures(*set, AName));
    for (std::size_t a = 0; a < signatures.size(); ++a) {
        for (std::size_t b = a + 1; b < signatures.size(); ++b) {
            for (std::u16string_view left : signatures[a]) {
                for (std::u16string_view right : signatures[b]) {
                    if (!SurelyDistinct(left, right)) return false;
                }
            }
        }
    }
    return true;
}

// The files ANames name, each followed by those it names, as the include
// walker reads them and within its limits; the text's names come from the
// reading for the identifiers it uses, so the text is not read again.
void ReadIncludes(const NameRules& ARules, const std::vector<std::u16string_view>& ANames, int ADepth,
                  IncludedTexts& AInto) {
    static const IdentifierFilter kNoIdentifiers;
    const IncludeLimits limits;
    for (std::u16string_view name : ANames) {
        if (ADepth >= limits.Depth || AInto.Texts.size() >= limits.Count) continue;
        std::optional<std::u16string> text;
        try {
            if (ARules.ReadInclude && *ARules.ReadInclude) text = (*ARules.ReadInclude)(name);
        } catch (...) {
            text.reset();  // a reader that fails finds nothing
        }
        if (!text || AInto.Units + text->size() > limits.Units) {
            AInto.Complete = false;
            continue;
        }
        AInto.Units += text->size();
        const std::u16string& stored = AInto.Texts.emplace_back(std::move(*text));
        ReadIncludes(ARules, UsedAmong(stored, kNoIdentifiers).IncludeNames, ADepth + 1, AInto);
    }
}

}  // namespace

const IncludedTexts& ReadIncludedTexts(const NameRules& ARules, const std::vector<std::u16string_view>& ANames) {
    std::optional<IncludedTexts>& included = ARules.Read.Included;
    if (!included) {
        included.emplace();
        ReadIncludes(ARules, ANames, 0, *included);
    }
    return *included;
}

const TIdentifierSet* FindUnitSet(const NameRules& ARules, std::u16string_view AName) {
    return FindWithScopeNames(ARules, AName,
                              [&](std::u16string_view AFull) { return ARules.Catalog->F_FindUnit(AFull); });
}

std::vector<Constraint> ConstraintFinder::Find(const std::vector<std::u16string>& ANames) {
    const FoundUnits& found = FindUnits(ANames);
    if (found.size() < 2 || !FRules.Names) return {};
    const UsedSpellings used = UsedSharedIdentifiers(found);
    // The file's own declarations count as far as the last first use.
    std::size_t upTo = 0;
    const auto spelt = [](const auto& AUsed) { return !AUsed.second.empty(); };
    if (!FWithIncludes && std::any_of(used.begin(), used.end(), spelt)) {
        const std::u16string_view text = FRules.Text();
        for (const auto& [identifier, spelling] : used) {
            if (spelling.data() >= text.data() && spelling.data() < text.data() + text.size())
                upTo = std::max(upTo, static_cast<std::size_t>(spelling.data() - text.data()));
        }
    }
    std::u16string key;
    for (const auto& [identifier, spelling] : used) {
        key.assign(identifier);
        if (!spelling.empty() && DeclaredBeforeAnyUse(key, spelling, upTo)) continue;
        if (!spelling.empty()) FSpellings.try_emplace(key, spelling);
        AddPairs(found, key);
    }
    std::vector<Constraint> constraints;
    for (auto& [pair, identifiers] : FPairs) {
        std::sort(identifiers.begin(), identifiers.end());
        constraints.push_back({pair.first, pair.second, std::move(identifiers)});
    }
    return constraints;
}

std::u16string ConstraintFinder::Spelling(const std::u16string& AFolded) const {
    if (AFolded.starts_with(kHelperPrefix)) return u"helper for " + AFolded.substr(kHelperPrefix.size());
    const auto found = FSpellings.find(AFolded);
    return found == FSpellings.end() ? AFolded : std::u16string(found->second);
}

// The units whose source the catalog knows; the others are told to it.
const ConstraintFinder::FoundUnits& ConstraintFinder::FindUnits(const std::vector<std::u16string>& ANames) {
    if (FFound) return *FFound;
    FFound.emplace();
    for (std::size_t i = 0; i < ANames.size(); ++i) {
        if (const TIdentifierSet* set = FindUnitSet(FRules, ANames[i])) {
            FFound->emplace_back(i, set);
        } else if (!ANames[i].empty()) {
            FRules.Catalog->NoteUnitWithoutSource(ANames[i]);
        }
    }
    return *FFound;
}

std::vector<InitUnit> ConstraintFinder::InitUnits(const std::vector<std::u16string>& ANames) {
    std::vector<InitUnit> units;
    for (const auto& [entry, set] : FindUnits(ANames)) {
        const UnitEffectsCache::Unit* unit = FRules.Effects->Find(FRules, ANames[entry]);
        if (unit == nullptr) continue;
        if (const auto first = FRules.Effects->FirstStarting(*unit, FRules)) units.push_back({entry, std::u16string(*first)});
    }
    return units;
}

// The identifiers two of AUnits declare that the file uses, with its spellings;
// helpers without a spelling, as they are active without being named.
ConstraintFinder::UsedSpellings ConstraintFinder::UsedSharedIdentifiers(const FoundUnits& AUnits) {
    IdentifierFilter shared;
    std::vector<std::u16string_view> helpers;
    std::vector<const TIdentifierSet*> sets;
    for (const auto& entry : AUnits) sets.push_back(entry.second);
    for (const UnitFactsCache::Identifiers* identifiers : FRules.Facts->SharedByPairs(sets)) {
        for (const std::u16string* each : *identifiers) {
            const std::u16string& identifier = *each;
            // Helpers and operators act without being named; other facts are no names.
            if (identifier.starts_with(kHelperPrefix) || identifier.starts_with(kOperatorPrefix)) {
                helpers.push_back(identifier);
            } else if (!IsPseudoIdentifier(identifier)) {
                shared.Add(identifier);
            }
        }
    }
    UsedSpellings used;
    if (!shared.IsEmpty()) used = UsedInFileAndIncludes(shared);
    for (std::u16string_view helper : helpers) used.try_emplace(helper);
    return used;
}

// An include file that cannot be read may use any of them: all count then.
// The names the finder of unneeded units read, when it did, spare reading the text again.
ConstraintFinder::UsedSpellings ConstraintFinder::UsedInFileAndIncludes(const IdentifierFilter& AShared) {
    UsedIdentifiers found;
    if (const std::optional<FileUses>& uses = FRules.Read.Uses) {
        AShared.ForEach([&](std::u16string_view AIdentifier) {
            if (const std::u16string_view first = uses->FirstInText(AIdentifier); !first.empty())
                found.Spellings.emplace(AIdentifier, first);
        });
        found.IncludesFiles = uses->IncludesFiles();
        found.IncludeNames = uses->IncludeNames();
    } else {
        found = UsedAmong(FRules.Text(), AShared);
    }
    auto used = std::move(found.Spellings);
    if (!found.IncludesFiles) return used;
    FWithIncludes = true;
    const IncludedTexts& included = ReadIncludedTexts(FRules, found.IncludeNames);
    if (!included.Complete) {
        AShared.ForEach([&](std::u16string_view AIdentifier) { used.try_emplace(AIdentifier); });
        return used;
    }
    for (const std::u16string& text : included.Texts) used.merge(UsedAmong(text, AShared).Spellings);
    return used;
}

// Whether the file declares AIdentifier at top level itself before any use
// (ASpelling is its first use, the declaration included): its own declaration
// then wins over every unit. Not known for a file with include files.
bool ConstraintFinder::DeclaredBeforeAnyUse(const std::u16string& AIdentifier, std::u16string_view ASpelling,
                                            std::size_t AUpTo) {
    if (FWithIncludes) return false;
    const std::u16string_view text = FRules.Text();
    std::optional<OwnDeclarationMap>& owned = FRules.Read.Own;
    if (!owned || FRules.Read.OwnUpTo < AUpTo) {
        owned = OwnDeclarations(text, AUpTo);
        FRules.Read.OwnUpTo = AUpTo;
    }
    const auto own = owned->find(AIdentifier);
    return own != owned->end() && ASpelling.data() == text.data() + own->second;
}

// The last unit declaring AIdentifier stays after each other one that does.
// A routine with `overload` lets the search go on to the units before, as
// far as the first one without it: then all of them keep their order, unless
// every one has `overload` and no two parameter lists may be alike, when all
// are seen in any order and the parameters choose.
void ConstraintFinder::AddPairs(const FoundUnits& AUnits, const std::u16string& AIdentifier) {
    std::vector<std::size_t> declaring;
    std::vector<const TIdentifierSet*> sets;
    for (const auto& [index, set] : AUnits) {
        if (set->contains(AIdentifier)) {
            declaring.push_back(index);
            sets.push_back(set);
        }
    }
    if (IsPseudoIdentifier(AIdentifier)) {
        for (std::size_t k = 0; k + 1 < declaring.size(); ++k) FPairs[{declaring[k], declaring.back()}].push_back(AIdentifier);
        return;
    }
    const std::u16string overload = std::u16string(kOverloadPrefix) + AIdentifier;
    const std::size_t overloading = static_cast<std::size_t>(
        std::count_if(sets.begin(), sets.end(), [&](const TIdentifierSet* ASet) { return ASet->contains(overload); }));
    if (overloading == 0) {
        for (std::size_t k = 0; k + 1 < declaring.size(); ++k) FPairs[{declaring[k], declaring.back()}].push_back(AIdentifier);
    } else if (overloading < sets.size() || !DistinctOverloads(sets, AIdentifier)) {
        for (std::size_t k = 0; k + 1 < declaring.size(); ++k) FPairs[{declaring[k], declaring[k + 1]}].push_back(AIdentifier);
    }
}

}  // namespace quorvel::detail
