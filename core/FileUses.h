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

    std::size_t Size() const { return FCount; }
    // The sections that use AFolded; 0: none.
    std::uint8_t Sections(std::u16string_view AFolded) const;
    // Its first spelling in the text read by ReadText; empty when it has none.
    std::u16string_view FirstInText(std::u16string_view AFolded) const;
    // AVisit(folded name, sections) for each name some section uses, until it returns false.
    template <typename Visit> void ForEach(Visit&& AVisit) const {
        Fold();
        for (const auto& [folded, sections] : FFolded) {
            if (!AVisit(folded, sections)) return;
        }
    }

private:
    // Open addressing: a file's thousand names without a node each.
    struct Entry {
        std::u16string_view First;  // empty: a free slot
        std::uint32_t Hash = 0;
        std::uint8_t Sections = 0;
        bool InText = false;
    };
    std::vector<Entry> FTable = std::vector<Entry>(1024);
    std::size_t FCount = 0;
    mutable std::vector<std::pair<std::u16string, std::uint8_t>> FFolded;  // the used ones folded, once asked for
    mutable bool FFoldedStale = true;                                      // a name or a section came since
    std::vector<std::u16string_view> FIncludeNames;
    bool FIncludesFiles = false;

    void Add(std::u16string_view AToken, std::uint8_t ASections, bool AInText);
    const Entry* Find(std::u16string_view AName) const;
    void Grow();
    void Fold() const;
};

}  // namespace quorvel::detail
