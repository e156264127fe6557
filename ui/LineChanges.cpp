#include "LineChanges.h"

#include "LineEdits.h"

namespace {

// Beyond this many inserted or removed lines the alignment's memory (the
// square of this number) is not worth it; the middle is marked whole.
constexpr int MaxEditDistance = 1500;

// The view shows no line breaks, so a line whose break alone differs is no change.
std::vector<std::u16string_view> LinesWithoutBreaks(std::u16string_view AText) {
    std::vector<std::u16string_view> lines = quorvel::files::SplitLinesWithBreaks(AText);
    for (auto& line : lines) {
        while (!line.empty() && (line.back() == u'\r' || line.back() == u'\n')) line.remove_suffix(1);
    }
    return lines;
}

}  // namespace

std::vector<std::size_t> ChangedLines(std::u16string_view AOriginal, std::u16string_view AChanged) {
    namespace files = quorvel::files;
    const auto edits =
        files::LineEditScript(LinesWithoutBreaks(AOriginal), LinesWithoutBreaks(AChanged), MaxEditDistance);
    std::vector<std::size_t> added;
    std::size_t changedLine = 0;
    for (const files::LineEdit edit : edits) {
        if (edit == files::LineEdit::Remove) continue;
        if (edit == files::LineEdit::Add) added.push_back(changedLine);
        ++changedLine;
    }
    return added;
}
