#include "UnitNameWriting.h"

#include "AsciiCase.h"
#include "UnitNames.h"

namespace quorvel::detail {
namespace {

// Where the declared name ADeclared and the written AName agree on their
// last dotted parts, those parts of AName in ADeclared's letter case; empty
// when they do not agree.
std::u16string InDeclaredCase(std::u16string_view AName, std::u16string_view ADeclared) {
    const std::size_t common = std::min(AName.size(), ADeclared.size());
    const std::u16string_view nameTail = AName.substr(AName.size() - common);
    const std::u16string_view declaredTail = ADeclared.substr(ADeclared.size() - common);
    if (!SameAsciiName(nameTail, declaredTail)) return {};
    // The shorter one must be whole dotted parts of the longer one.
    if (AName.size() > common && AName[AName.size() - common - 1] != u'.') return {};
    if (ADeclared.size() > common && ADeclared[ADeclared.size() - common - 1] != u'.') return {};
    std::u16string written(AName.substr(0, AName.size() - common));
    written += declaredTail;
    return written;
}

std::u16string DeclaredCase(std::u16string_view AName, const TFormatOptions& AOptions, const UnitScopes& AScopes,
                            const TUnitCatalog& ACatalog) {
    std::u16string declared = ACatalog.F_DeclaredName(AName);
    if (declared.empty()) declared = ACatalog.F_DeclaredName(AScopes.CatalogName(AName));
    for (std::size_t i = 0; declared.empty() && i < AOptions.UnitScopeNames.size(); ++i) {
        declared = ACatalog.F_DeclaredName(AOptions.UnitScopeNames[i] + u"." + std::u16string(AName));
    }
    return declared.empty() ? std::u16string() : InDeclaredCase(AName, declared);
}

}  // namespace

bool WritesUnitNames(const TFormatOptions& AOptions) {
    return AOptions.DeclaredUnitCase || AOptions.UnitScopeWriting != TUnitScopeWriting::AsWritten;
}

void WriteUnitNames(std::vector<TUsesEntry>& AEntries, const TFormatOptions& AOptions, const UnitScopes& AScopes,
                    const TUnitCatalog* ACatalog,
                    const std::function<void(TClauseNoteKind AKind, std::u16string_view AText)>& ANote) {
    const auto change = [&](TUsesEntry& AEntry, std::u16string_view AName, const std::u16string& ANew,
                            TClauseNoteKind AKind) {
        if (ANew.empty() || ANew == AName) return;
        ANote(AKind, std::u16string(AName) + u" as " + ANew);
        AEntry.UnitName.replace(AEntry.NameStart, std::u16string::npos, ANew);
    };
    for (TUsesEntry& entry : AEntries) {
        if (PlainUnitName(entry).empty()) continue;
        switch (AOptions.UnitScopeWriting) {
            case TUnitScopeWriting::AsWritten: break;
            case TUnitScopeWriting::Add: {
                const std::u16string name(PlainUnitName(entry));
                change(entry, name, AScopes.WithScope(name), TClauseNoteKind::Scope);
                break;
            }
            case TUnitScopeWriting::Remove: {
                const std::u16string name(PlainUnitName(entry));
                change(entry, name, AScopes.WithoutScope(name), TClauseNoteKind::Scope);
                break;
            }
        }
        if (AOptions.DeclaredUnitCase && ACatalog != nullptr) {
            const std::u16string name(PlainUnitName(entry));
            change(entry, name, DeclaredCase(name, AOptions, AScopes, *ACatalog), TClauseNoteKind::Case);
        }
    }
}

}  // namespace quorvel::detail
