#include "FileUses.h"

#include <algorithm>
#include <cstring>

#include "AsciiCase.h"
#include "IdentifierScan.h"

namespace quorvel::detail {

// Bit 5 of each code unit is left out, which tells 'a' from 'A' (and some
// other units apart, which only costs a comparison). Four code units at a
// time: tokens by the million pass here.
namespace {

// A name is mostly spelled the same way each time: bytes first, letter case after.
bool SameName(std::u16string_view ALeft, std::u16string_view ARight) {
    return ALeft.size() == ARight.size() &&
           (std::memcmp(ALeft.data(), ARight.data(), ALeft.size() * sizeof(char16_t)) == 0 ||
            SameAsciiName(ALeft, ARight));
}

}  // namespace

std::uint32_t FoldedNameHash(std::u16string_view AName) {
    constexpr std::uint64_t kCaseBits = 0x0020002000200020ull, kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t hash = AName.size();
    std::size_t at = 0;
    for (; at + 4 <= AName.size(); at += 4) {
        std::uint64_t four;
        std::memcpy(&four, AName.data() + at, sizeof four);
        hash = (hash ^ (four & ~kCaseBits)) * kMultiplier;
    }
    for (; at < AName.size(); ++at) hash = (hash ^ (AName[at] & ~0x20u)) * kMultiplier;
    return static_cast<std::uint32_t>(hash >> 32);
}

void FileUses::ReadText(std::u16string_view AText, std::size_t AImplementationAt,
                        const std::vector<TextRange>& AClauses) {
    const auto inClause = [&](std::size_t AAt) {
        return std::any_of(AClauses.begin(), AClauses.end(),
                           [AAt](const TextRange& AClause) { return AAt >= AClause.Begin && AAt < AClause.End; });
    };
    const IdentifierScan scan = ScanIdentifiersBothWays(
        AText,
        [&](std::u16string_view AToken) {
            const auto at = static_cast<std::size_t>(AToken.data() - AText.data());
            const std::uint8_t sections = inClause(at) ? 0 : at < AImplementationAt ? kInterface : kImplementation;
            Add(AToken, sections, true);
        },
        &FIncludeNames);
    FIncludesFiles = scan.IncludesFiles;
}

void FileUses::ReadIncluded(std::u16string_view AText) {
    ScanIdentifiersBothWays(AText, [&](std::u16string_view AToken) { Add(AToken, kBoth, false); });
}

void FileUses::Add(std::u16string_view AToken, std::uint8_t ASections, bool AInText) {
    if ((FNames.size() + 1) * 2 > FSlots.size()) Grow();
    const std::uint32_t hash = FoldedNameHash(AToken);
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = FSlots[at];
        if (slot.Name == 0) {
            FNames.push_back({AToken, hash, ASections, AInText});
            slot = {hash, static_cast<std::uint32_t>(FNames.size())};
            return;
        }
        Name& name = FNames[slot.Name - 1];
        if (slot.Hash == hash && SameName(name.First, AToken)) {
            name.Sections |= ASections;
            return;
        }
    }
}

const FileUses::Name* FileUses::Find(std::u16string_view AName) const {
    const std::uint32_t hash = FoldedNameHash(AName);
    const std::size_t mask = FSlots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = FSlots[at];
        if (slot.Name == 0) return nullptr;
        if (slot.Hash == hash && SameName(FNames[slot.Name - 1].First, AName)) return &FNames[slot.Name - 1];
    }
}

void FileUses::Grow() {
    std::vector<Slot> old(FSlots.size() * 2);
    old.swap(FSlots);
    const std::size_t mask = FSlots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.Name == 0) continue;
        std::size_t at = slot.Hash & mask;
        while (FSlots[at].Name != 0) at = (at + 1) & mask;
        FSlots[at] = slot;
    }
}

std::uint8_t FileUses::Sections(std::u16string_view AName) const {
    const Name* name = Find(AName);
    return name ? name->Sections : 0;
}

std::u16string_view FileUses::FirstInText(std::u16string_view AName) const {
    const Name* name = Find(AName);
    return name && name->InText ? name->First : std::u16string_view();
}

}  // namespace quorvel::detail
