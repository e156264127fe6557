#include "UnifiedDiff.h"

#include <algorithm>
#include <vector>

#include "LineEdits.h"
#include "Utf8.h"

namespace quorvel::cli {
namespace {

constexpr std::size_t kContext = 3;

void AppendLine(std::string& AOut, char AMarker, std::u16string_view ALine) {
    AOut += AMarker;
    AOut += files::Utf8FromText(ALine);
    if (ALine.empty() || (ALine.back() != u'\n' && ALine.back() != u'\r')) AOut += "\n\\ No newline at end of file\n";
}

std::string Range(std::size_t AStart, std::size_t ACount) {
    return std::to_string(ACount == 0 ? AStart : AStart + 1) + "," + std::to_string(ACount);
}

class HunkWriter {
public:
    HunkWriter(const std::vector<std::u16string_view>& AOld, const std::vector<std::u16string_view>& ANew,
               const std::vector<files::LineEdit>& AOps)
        : FOld(AOld), FNew(ANew), FOps(AOps) {}

    std::string Run() {
        std::string out;
        for (std::size_t i = 0; i < FOps.size();) {
            if (FOps[i] == files::LineEdit::Keep) {
                ++i;
                continue;
            }
            const std::size_t first = i >= kContext ? i - kContext : 0;
            const std::size_t last = HunkEnd(i);
            WriteHunk(out, first, last);
            i = last;
        }
        return out;
    }

private:
    // Past the last op of the hunk that holds the change at AChange, context included.
    std::size_t HunkEnd(std::size_t AChange) const {
        std::size_t end = AChange, keeps = 0;
        for (std::size_t i = AChange; i < FOps.size() && keeps <= 2 * kContext; ++i) {
            keeps = FOps[i] == files::LineEdit::Keep ? keeps + 1 : 0;
            if (keeps == 0) end = i + 1;
        }
        return std::min(end + kContext, FOps.size());
    }

    void WriteHunk(std::string& AOut, std::size_t AFirst, std::size_t ALast) {
        std::size_t oldLine = 0, newLine = 0;
        for (std::size_t i = 0; i < AFirst; ++i) Advance(FOps[i], oldLine, newLine);
        std::string body;
        std::size_t oldCount = 0, newCount = 0, o = oldLine, n = newLine;
        for (std::size_t i = AFirst; i < ALast; ++i) {
            const files::LineEdit op = FOps[i];
            if (op != files::LineEdit::Add) {
                AppendLine(body, op == files::LineEdit::Keep ? ' ' : '-', FOld[o]);
                ++oldCount;
            }
            if (op == files::LineEdit::Add) AppendLine(body, '+', FNew[n]);
            if (op != files::LineEdit::Remove) ++newCount;
            Advance(op, o, n);
        }
        AOut += "@@ -" + Range(oldLine, oldCount) + " +" + Range(newLine, newCount) + " @@\n" + body;
    }

    static void Advance(files::LineEdit AOp, std::size_t& AOld, std::size_t& ANew) {
        if (AOp != files::LineEdit::Add) ++AOld;
        if (AOp != files::LineEdit::Remove) ++ANew;
    }

    const std::vector<std::u16string_view>& FOld;
    const std::vector<std::u16string_view>& FNew;
    const std::vector<files::LineEdit>& FOps;
};

}  // namespace

std::string UnifiedDiff(std::u16string_view AOld, std::u16string_view ANew, std::string_view ALabel) {
    if (AOld == ANew) return {};
    const auto oldLines = files::SplitLinesWithBreaks(AOld), newLines = files::SplitLinesWithBreaks(ANew);
    const std::vector<files::LineEdit> ops = files::LineEditScript(oldLines, newLines);
    std::string out = "--- " + std::string(ALabel) + "\n+++ " + std::string(ALabel) + "\n";
    return out + HunkWriter(oldLines, newLines, ops).Run();
}

}  // namespace quorvel::cli
