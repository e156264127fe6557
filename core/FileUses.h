#pragma once
// The names a file uses, read once for all that asks: each with the sections
// that use it and its first spelling in the text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ClauseLocator.h"

namespace quorvel::detail {

// Where the file uses a name: before the implementation section, after it, or both.
enum UsedIn : std::uint8_t { kInterface = 1, kImplementation = 2, kBoth = 3 };

// Equal for names that differ in ASCII letter case only.
std::uint32_t FoldedNameHash(std::u16string_view AName);

class FileUses {
public:
    // What AText uses outside comments and strings, in every conditional
    // branch, both ways of reading comments; tokens within AClauses are no
    // use (sections 0) but still its first spelling. The spellings and
    // include names stay views into AText.
    void ReadText(std::u16string_view AText, std::size_t AImplementationAt, const std::vector<TextRange>& AClauses);
    // What an include file of the text uses, for both sections.
    void ReadIncluded(std::u16string_view AText);

    bool IncludesFiles() const { return FIncludesFiles; }
    // The include files the text names, as written, in its order.
    const std::vector<std::u16string_view>& IncludeNames() const { return FIncludeNames; }

    std::size_t Size() const { return FNames.size(); }
    // The sections that use AName (any ASCII letter case); 0: none.
    std::uint8_t Sections(std::u16string_view AName) const;
    // Its first spelling in the text read by ReadText; empty when it has none.
    std::u16string_view FirstInText(std::u16string_view AName) const;
    // AVisit(name as first spelled, sections, FoldedNameHash of it) for each
    // name some section uses, in the order first met, until it returns false.
    template <typename Visit> void ForEach(Visit&& AVisit) const {
        for (const Name& name : FNames) {
            if (name.Sections != 0 && !AVisit(name.First, name.Sections, name.Hash)) return;
        }
    }

private:
    struct Name {
        std::u16string_view First;
        std::uint32_t Hash;
        std::uint8_t Sections = 0;
        bool InText = false;
    };
    // Open addressing over the names in the order first met, so that a walk
    // meets the interface's names first: a file's thousand names without a
    // node each.
    struct Slot {
        std::uint32_t Hash = 0;
        std::uint32_t Name = 0;  // 1 + its place in FNames; 0: free
    };
    std::vector<Name> FNames;
    std::vector<Slot> FSlots = std::vector<Slot>(2048);
    std::vector<std::u16string_view> FIncludeNames;
    bool FIncludesFiles = false;

    void Add(std::u16string_view AToken, std::uint8_t ASections, bool AInText);
    const Name* Find(std::u16string_view AName) const;
    void Grow();
};

}  // namespace quorvel::detail
