#include "UnifiedDiff.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "Utf8.h"

namespace quorvel::cli {
namespace {

constexpr std::size_t kContext = 3;
// Beyond this many differing lines the shortest edit is not searched for:
// the differing middle is shown as removed and added whole.
constexpr int kMaxEditDistance = 1000;

std::vector<std::u16string_view> SplitLines(std::u16string_view AText) {
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

enum class Op { Keep, Remove, Add };

// Myers' shortest edit script over line ids; kMaxEditDistance bounds its memory.
class ShortestEdit {
public:
    ShortestEdit(const std::vector<int>& AOld, const std::vector<int>& ANew) : FOld(AOld), FNew(ANew) {}

    std::vector<Op> Run() {
        const int n = static_cast<int>(FOld.size()), m = static_cast<int>(FNew.size());
        std::vector<int> reach(2 * kMaxEditDistance + 3, 0);
        const auto at = [&](int k) -> int& { return reach[k + kMaxEditDistance + 1]; };
        for (int d = 0; d <= std::min(n + m, kMaxEditDistance); ++d) {
            for (int k = -d; k <= d; k += 2) {
                int x = (k == -d || (k != d && at(k - 1) < at(k + 1))) ? at(k + 1) : at(k - 1) + 1;
                for (int y = x - k; x < n && y < m && FOld[x] == FNew[y]; ++y) ++x;
                at(k) = x;
                if (x >= n && x - k >= m) {
                    FTrace.emplace_back(reach.begin() + kMaxEditDistance + 1 - d, reach.begin() + kMaxEditDistance + 2 + d);
                    return Backtrack(n, m);
                }
            }
            FTrace.emplace_back(reach.begin() + kMaxEditDistance + 1 - d, reach.begin() + kMaxEditDistance + 2 + d);
        }
        std::vector<Op> ops(FOld.size(), Op::Remove);
        ops.insert(ops.end(), FNew.size(), Op::Add);
        return ops;
    }

private:
    std::vector<Op> Backtrack(int AX, int AY) {
        std::vector<Op> ops;
        for (int d = static_cast<int>(FTrace.size()) - 1; d > 0; --d) {
            const auto before = [&](int k) { return FTrace[d - 1][k + d - 1]; };  // reach after d - 1 edits
            const int k = AX - AY;
            const bool down = k == -d || (k != d && before(k - 1) < before(k + 1));
            const int previousK = down ? k + 1 : k - 1;
            const int previousX = before(previousK), previousY = previousX - previousK;
            for (; AX > (down ? previousX : previousX + 1); --AX, --AY) ops.push_back(Op::Keep);
            ops.push_back(down ? Op::Add : Op::Remove);
            AX = previousX, AY = previousY;
        }
        for (; AX > 0; --AX) ops.push_back(Op::Keep);
        std::reverse(ops.begin(), ops.end());
        return ops;
    }

    const std::vector<int>& FOld;
    const std::vector<int>& FNew;
    std::vector<std::vector<int>> FTrace;  // reach for k = -d..d after d edits
};

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
               const std::vector<Op>& AOps)
        : FOld(AOld), FNew(ANew), FOps(AOps) {}

    std::string Run() {
        std::string out;
        for (std::size_t i = 0; i < FOps.size();) {
            if (FOps[i] == Op::Keep) {
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
            keeps = FOps[i] == Op::Keep ? keeps + 1 : 0;
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
            const Op op = FOps[i];
            if (op != Op::Add) {
                AppendLine(body, op == Op::Keep ? ' ' : '-', FOld[o]);
                ++oldCount;
            }
            if (op == Op::Add) AppendLine(body, '+', FNew[n]);
            if (op != Op::Remove) ++newCount;
            Advance(op, o, n);
        }
        AOut += "@@ -" + Range(oldLine, oldCount) + " +" + Range(newLine, newCount) + " @@\n" + body;
    }

    static void Advance(Op AOp, std::size_t& AOld, std::size_t& ANew) {
        if (AOp != Op::Add) ++AOld;
        if (AOp != Op::Remove) ++ANew;
    }

    const std::vector<std::u16string_view>& FOld;
    const std::vector<std::u16string_view>& FNew;
    const std::vector<Op>& FOps;
};

// The edit script: common head and tail kept, the middle by ShortestEdit.
std::vector<Op> EditScript(const std::vector<std::u16string_view>& AOld, const std::vector<std::u16string_view>& ANew) {
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
    std::vector<Op> ops(head, Op::Keep);
    const std::vector<Op> middle = ShortestEdit(oldIds, newIds).Run();
    ops.insert(ops.end(), middle.begin(), middle.end());
    ops.insert(ops.end(), tail, Op::Keep);
    return ops;
}

}  // namespace

std::string UnifiedDiff(std::u16string_view AOld, std::u16string_view ANew, std::string_view ALabel) {
    if (AOld == ANew) return {};
    const auto oldLines = SplitLines(AOld), newLines = SplitLines(ANew);
    const std::vector<Op> ops = EditScript(oldLines, newLines);
    std::string out = "--- " + std::string(ALabel) + "\n+++ " + std::string(ALabel) + "\n";
    return out + HunkWriter(oldLines, newLines, ops).Run();
}

}  // namespace quorvel::cli
