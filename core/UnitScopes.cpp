#include "UnitScopes.h"

#include <algorithm>
#include <unordered_set>

#include "AsciiCase.h"

namespace quorvel::detail {
namespace {

// One name a line, as Delphi's documentation lists them.
constexpr std::u16string_view kShippedDelphiUnits[] = {
#include "DelphiUnitNames.inc"
};

const std::unordered_set<std::u16string>& ShippedDelphiUnits() {
    static const std::unordered_set<std::u16string> units = [] {
        std::unordered_set<std::u16string> folded;
        for (std::u16string_view name : kShippedDelphiUnits) folded.insert(FoldAscii(name));
        return folded;
    }();
    return units;
}

std::u16string Joined(std::u16string_view AScope, std::u16string_view AName) {
    std::u16string name(AScope);
    name += u'.';
    name += AName;
    return name;
}

}  // namespace

bool IsShippedDelphiUnit(std::u16string_view AName) { return ShippedDelphiUnits().contains(FoldAscii(AName)); }

// A name listed twice would count as two units found.
const std::vector<std::u16string>& UnitScopes::ScopeNames() const {
    if (FScopeNamesMade) return FScopeNames;
    for (const std::u16string& scope : FListed) {
        const bool listed = std::any_of(FScopeNames.begin(), FScopeNames.end(),
                                        [&](const std::u16string& AListed) { return SameAsciiName(AListed, scope); });
        if (!scope.empty() && !listed) FScopeNames.push_back(scope);
    }
    FScopeNamesMade = true;
    return FScopeNames;
}

std::size_t UnitScopes::ScopeLength(std::u16string_view AName) const {
    std::size_t longest = 0;
    for (const std::u16string& scope : FListed) {
        if (AName.size() > scope.size() + 1 && AName[scope.size()] == u'.' &&
            SameAsciiName(AName.substr(0, scope.size()), scope)) {
            longest = std::max(longest, scope.size() + 1);
        }
    }
    return longest;
}

bool UnitScopes::InCatalog(std::u16string_view AName) const {
    return FCatalog != nullptr && !FCatalog->F_DeclaredName(AName).empty();
}

UnitScopes::Found UnitScopes::Existing(std::u16string_view AShort) const {
    const auto search = [&](const auto& AExists) {
        Found found;
        found.Short = AExists(AShort);
        for (std::size_t i = 0; i < ScopeNames().size(); ++i) {
            if (AExists(Joined(ScopeNames()[i], AShort))) found.Scopes.push_back(i);
        }
        return found;
    };
    Found found = search([this](std::u16string_view AName) { return InCatalog(AName); });
    if (found.Short || !found.Scopes.empty()) return found;
    return search([](std::u16string_view AName) { return IsShippedDelphiUnit(AName); });
}

std::u16string UnitScopes::WithScope(std::u16string_view AName) const {
    if (AName.empty() || ScopeLength(AName) > 0) return {};
    const Found found = Existing(AName);
    if (found.Short || found.Scopes.size() != 1) return {};
    return Joined(ScopeNames()[found.Scopes.front()], AName);
}

std::u16string UnitScopes::WithoutScope(std::u16string_view AName) const {
    const std::size_t scopeLength = ScopeLength(AName);
    if (scopeLength == 0) return {};
    const std::u16string_view shortName = AName.substr(scopeLength);
    const Found found = Existing(shortName);
    const std::size_t existing = found.Scopes.size() + (found.Short ? 1 : 0);
    if (existing != 1) return {};
    if (!found.Short && !SameAsciiName(ScopeNames()[found.Scopes.front()], AName.substr(0, scopeLength - 1))) {
        return {};
    }
    return std::u16string(shortName);
}

std::u16string UnitScopes::CatalogName(std::u16string_view AName) const {
    const std::size_t scopeLength = ScopeLength(AName);
    if (scopeLength == 0 || FCatalog == nullptr || InCatalog(AName)) return std::u16string(AName);
    const std::u16string_view shortName = AName.substr(scopeLength);
    return InCatalog(shortName) ? std::u16string(shortName) : std::u16string(AName);
}

}  // namespace quorvel::detail
