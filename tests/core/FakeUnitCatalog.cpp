#include "FakeUnitCatalog.h"

#include <algorithm>

namespace quorvel::test {
namespace {

std::u16string Fold(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    }
    return folded;
}

// The pieces of AText between separators, empty ones left out.
std::vector<std::u16string_view> Split(std::u16string_view AText, char16_t ASeparator) {
    std::vector<std::u16string_view> pieces;
    std::size_t begin = 0;
    while (begin <= AText.size()) {
        std::size_t end = AText.find(ASeparator, begin);
        if (end == std::u16string_view::npos) end = AText.size();
        if (end > begin) pieces.push_back(AText.substr(begin, end - begin));
        begin = end + 1;
    }
    return pieces;
}

}  // namespace

FakeUnitCatalog::FakeUnitCatalog(std::u16string_view AUnitDeclarations) {
    for (std::u16string_view unit : Split(AUnitDeclarations, u'|')) {
        const std::size_t equals = unit.find(u'=');
        TIdentifierSet identifiers;
        if (equals != std::u16string_view::npos) {
            for (std::u16string_view identifier : Split(unit.substr(equals + 1), u' ')) {
                // Facts keep their spelling after the prefix ("USES~Wrapper").
                std::u16string folded = identifier.starts_with(u"USES~") ? std::u16string(identifier) : Fold(identifier);
                if (folded.starts_with(u"HELPER_FOR_")) folded[6] = folded[10] = u' ';
                std::replace(folded.begin(), folded.end(), u'~', u' ');  // other pseudo-identifiers
                identifiers.insert(std::move(folded));
            }
        }
        AddUnit(unit.substr(0, equals), std::move(identifiers));
    }
}

void FakeUnitCatalog::AddUnit(std::u16string_view AName, TIdentifierSet AIdentifiers) {
    const bool project = AName.starts_with(u'+');
    if (project) AName.remove_prefix(1);
    FUnits[Fold(AName)] = std::move(AIdentifiers);
    FSpellings[Fold(AName)] = std::u16string(AName);
    if (project) FProjectUnits[Fold(AName)] = true;
}

void FakeUnitCatalog::AddSource(std::u16string_view AName, std::u16string_view ASource,
                                const TIncludeReader& AReadInclude) {
    AddUnit(AName, F_InterfaceIdentifiers(ASource, AReadInclude));
}

const TIdentifierSet* FakeUnitCatalog::F_FindUnit(std::u16string_view AUnitName) const {
    const auto found = FUnits.find(Fold(AUnitName));
    return found == FUnits.end() ? nullptr : &found->second;
}

std::u16string FakeUnitCatalog::F_DeclaredName(std::u16string_view AUnitName) const {
    const auto found = FSpellings.find(Fold(AUnitName));
    return found == FSpellings.end() ? std::u16string() : found->second;
}

bool FakeUnitCatalog::F_IsProjectUnit(std::u16string_view AUnitName) const {
    return FProjectUnits.contains(Fold(AUnitName));
}

}  // namespace quorvel::test
