#include "InterfaceScanner.h"

namespace quorvel {

TIdentifierSet F_InterfaceIdentifiers(std::u16string_view AUnitSource, const TIncludeReader& AReadInclude) {
    (void)AUnitSource;
    (void)AReadInclude;
    return {};
}

}  // namespace quorvel
