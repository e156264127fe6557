#include "LineEdits.h"

#include <algorithm>
#include <unordered_map>

namespace quorvel::files {
namespace {

// Myers' shortest edit script over line ids.
class ShortestEdit {
public:
    ShortestEdit(const std::vector<int>& AOld, const std::vector<int>& ANew, int AMaxEditDistance)
        : FOld(AOld), FNew(ANew), FMax(AMaxEditDistance) {}

    std::vector<LineEdit> Run() {
        const int n = static_cast<int>(FOld.size()), m = static_cast<int>(FNew.size());
        std::vector<int> reach(2 * FMax + 3, 0);
        const auto at = [&](int k) -> int& { return reach[k + FMax + 1]; };
        for (int d = 0; d <= std::min(n + m, FMax); ++d) {
            for (int k = -d; k <= d; k += 2) {
                int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
                for (int y = x - k; x < n && y < m && FOld[x] == FNew[y]; ++y) ++x;
                at(k) = x;
                if (x >= n && x - k >= m) {
                    FTrace.emplace_back(reach.begin() + FMax + 1 - d, reach.begin() + FMax + 2 + d);
                    return Backtrack(n, m);
                }
            }
            FTrace.emplace_back(reach.begin() + FMax + 1 - d, reach.begin() + FMax + 2 + d);
        }
        std::vector<LineEdit> ops(FOld.size(), LineEdit::Remove);
        ops.insert(ops.end(), FNew.size(), LineEdit::Add);
        return ops;
    }

private:
    std::vector<LineEdit> Backtrack(int AX, int AY) {
        std::vector<LineEdit> ops;
        for (int d = static_cast<int>(FTrace.size()) - 1; d > 0; --d) {
            const auto before = [&](int k) { return FTrace[d - 1][k + d - 1]; };  // reach after d - 1 edits
            const int k = AX - AY;
            const bool down = k == -d || (k != d && before(k - 1) < before(k + 1));
            const int previousK = down ? k + 1 : k - 1;
            const int previousX = before(previousK), previousY = previousX - previousK;
            for (; AX > (down ? previousX : previousX + 1); --AX, --AY) ops.push_back(LineEdit::Keep);
            ops.push_back(down ? LineEdit::Add : LineEdit::Remove);
            AX = previousX, AY = previousY;
        }
        for (; AX > 0; --AX) ops.push_back(LineEdit::Keep);
        std::reverse(ops.begin(), ops.end());
        return ops;
    }

    const std::vector<int>& FOld;
    const std::vector<int>& FNew;
    const int FMax;
    std::vector<std::vector<int>> FTrace;  // reach for k = -d..d after d edits
};

}  // namespace

std::vector<LineEdit> LineEditScript(const std::vector<std::u16string_view>& AOld,
                                     const std::vector<std::u16string_view>& ANew, int AMaxEditDistance) {
    std::size_t head = 0;
    while (head < AOld.size() && head < ANew.size() && AOld[head] == ANew[head]) ++head;
    std::size_t tail = 0;
    while (tail < AOld.size() - head && tail < ANew.size() - head &&
           AOld[AOld.size() - 1 - tail] == ANew[ANew.size() - 1 - tail]) {
        ++tail;
    }
    std::unordered_map<std::u16string_view, int> ids;
    const auto idsOf = [&](const std::vector<std::u16string_view>& ALines) {
        std::vector<int> result;
        for (std::size_t i = head; i < ALines.size() - tail; ++i) {
            result.push_back(ids.emplace(ALines[i], static_cast<int>(ids.size())).first->second);
        }
        return result;
    };
    const std::vector<int> oldIds = idsOf(AOld), newIds = idsOf(ANew);
    std::vector<LineEdit> ops(head, LineEdit::Keep);
    const std::vector<LineEdit> middle = ShortestEdit(oldIds, newIds, AMaxEditDistance).Run();
    ops.insert(ops.end(), middle.begin(), middle.end());
    ops.insert(ops.end(), tail, LineEdit::Keep);
    return ops;
}


std::vector<std::u16string_view> SplitLinesWithBreaks(std::u16string_view AText) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        if (AText[i] != u'\r' && AText[i] != u'\n') continue;
        if (AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n') ++i;
        lines.push_back(AText.substr(start, i + 1 - start));
        start = i + 1;
    }
    if (start < AText.size()) lines.push_back(AText.substr(start));
    return lines;
}

}  // namespace quorvel::files
