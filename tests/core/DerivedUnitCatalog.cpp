#include "DerivedUnitCatalog.h"

#include <algorithm>

namespace quorvel::test {
namespace {

constexpr std::size_t kPoolSize = 48;

std::u16string Fold(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    }
    return folded;
}

std::uint32_t Hash(std::u16string_view AText, std::uint32_t ASeed) {
    std::uint32_t hash = 2166136261u ^ ASeed;
    for (char16_t c : AText) hash = (hash ^ c) * 16777619u;
    return hash;
}

bool IsWordChar(char16_t AChar) {
    return AChar > 0x7F || AChar == u'_' || (AChar >= u'0' && AChar <= u'9') || (AChar >= u'A' && AChar <= u'Z') ||
           (AChar >= u'a' && AChar <= u'z');
}

}  // namespace

DerivedUnitCatalog::DerivedUnitCatalog(std::u16string_view AText) {
    for (std::size_t i = 0; i < AText.size() && FPool.size() < kPoolSize;) {
        if (!IsWordChar(AText[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < AText.size() && IsWordChar(AText[end])) ++end;
        std::u16string word = Fold(AText.substr(i, end - i));
        if (std::find(FPool.begin(), FPool.end(), word) == FPool.end()) FPool.push_back(std::move(word));
        i = end;
    }
}

const TIdentifierSet* DerivedUnitCatalog::F_FindUnit(std::u16string_view AUnitName) const {
    const std::u16string name = Fold(AUnitName);
    const std::uint32_t unitHash = Hash(name, 0);
    if (unitHash % 4 == 0) return nullptr;  // no source found
    const std::lock_guard lock(FMutex);
    const auto [it, inserted] = FUnits.try_emplace(name);
    if (inserted) {
        for (const std::u16string& identifier : FPool) {
            if (Hash(identifier, unitHash) % 3 == 0) it->second.insert(identifier);
        }
        if (unitHash % 5 == 0) it->second.insert(u"HELPER FOR STRING");
    }
    return &it->second;
}

}  // namespace quorvel::test
