#pragma once
// An in-memory unit catalog for the tests and the fuzzer: units given by
// their identifiers or by their source text.

#include <map>
#include <string>
#include <string_view>

#include "UnitInterface.h"

namespace quorvel::test {

class FakeUnitCatalog : public TUnitCatalog {
public:
    FakeUnitCatalog() = default;
    // "SysUtils=DeleteFile FindClose|Windows=DeleteFile": units separated by
    // `|`, each name `=` its identifiers separated by blanks; HELPER_FOR_X
    // stands for the pseudo-identifier "HELPER FOR X", and `~` for a blank in
    // any other ("OVERLOAD~SHOW"). A name is declared as spelt here; a `+` in
    // front makes it a unit of the project's own folders.
    explicit FakeUnitCatalog(std::u16string_view AUnitDeclarations);

    void AddUnit(std::u16string_view AName, TIdentifierSet AIdentifiers);
    void AddSource(std::u16string_view AName, std::u16string_view ASource, const TIncludeReader& AReadInclude = {});

    const TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override;
    std::u16string F_DeclaredName(std::u16string_view AUnitName) const override;
    bool F_IsProjectUnit(std::u16string_view AUnitName) const override;

private:
    std::map<std::u16string, TIdentifierSet, std::less<>> FUnits;  // by folded name
    std::map<std::u16string, std::u16string, std::less<>> FSpellings;  // by folded name
    std::map<std::u16string, bool, std::less<>> FProjectUnits;          // by folded name
};

}  // namespace quorvel::test
