#pragma once
// A unit catalog made up from a text, for the fuzzer and the property tests:
// every unit name the engine asks for gets a fixed pseudo-random share of the
// text's identifiers (and now and then a helper), or no source at all, so that
// units of a clause often declare the same names the text uses.

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "UnitInterface.h"

namespace quorvel::test {

class DerivedUnitCatalog : public TUnitCatalog {
public:
    explicit DerivedUnitCatalog(std::u16string_view AText);

    const TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override;

private:
    std::vector<std::u16string> FPool;  // folded identifiers of the text, at most a few dozen
    mutable std::mutex FMutex;
    mutable std::map<std::u16string, TIdentifierSet> FUnits;  // made on first request
};

}  // namespace quorvel::test
