#pragma once
// Walks a text token by token and, where a directive names an include file
// ({$I name}, {$INCLUDE name}), walks that file in its place, within limits.

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "PascalLexer.h"
#include "UnitInterface.h"

namespace quorvel::detail {

// Include cycles and include bombs end here; what was read so far still counts.
constexpr int kMaxIncludeDepth = 16;
constexpr int kMaxIncludes = 4096;
constexpr std::size_t kMaxIncludedUnits = std::size_t{64} << 20;

struct IncludeLimits {
    int Depth = kMaxIncludeDepth;                            // include files inside include files
    std::size_t Count = static_cast<std::size_t>(kMaxIncludes);  // include files read in all
    std::size_t Units = kMaxIncludedUnits;                   // code units of all of them together
};

class IncludeWalker {
public:
    // Told every token with the text it belongs to; false ends the whole walk.
    using Visitor = std::function<bool(std::u16string_view AText, const Token& AToken)>;

    explicit IncludeWalker(const TIncludeReader& AReadInclude, const IncludeLimits& ALimits = {})
        : FReadInclude(AReadInclude), FLimits(ALimits) {}

    // The tokens of AText from AFrom on, each include directive followed by the
    // tokens of the file it names. AVisit may be empty: then only the files are read.
    void Walk(std::u16string_view AText, std::size_t AFrom, const Visitor& AVisit);

    // How the texts are read; the formatter's defaults unless set.
    void SetLexRules(LexRules ARules) { FLexRules = ARules; }

    // The include files read, in the order met; tokens point into them.
    const std::deque<std::u16string>& Texts() const { return FTexts; }
    // False when a file could not be read (no reader, none found, the reader
    // threw, or the size limit): what the text really holds is then not known.
    // The depth and count limits leave it true.
    bool Complete() const { return FComplete; }

private:
    const TIncludeReader& FReadInclude;
    const IncludeLimits FLimits;
    const Visitor* FVisit = nullptr;
    std::deque<std::u16string> FTexts;
    std::size_t FUnits = 0;
    bool FComplete = true;
    LexRules FLexRules;

    bool Visit(std::u16string_view AText, std::size_t AFrom, int ADepth);
    const std::u16string* Read(std::u16string_view AName, int ADepth);
};

}  // namespace quorvel::detail
