#include "LineChanges.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Beyond this many inserted or removed lines the alignment's memory (the
// square of this number) is not worth it; the middle is marked whole.
constexpr int MaxEditDistance = 1500;

std::vector<std::u16string_view> SplitLines(std::u16string_view AText) {
    std::vector<std::u16string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        if (AText[i] != u'\r' && AText[i] != u'\n') continue;
        lines.push_back(AText.substr(start, i - start));
        if (AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < AText.size()) lines.push_back(AText.substr(start));
    return lines;
}

// Equal lines get equal numbers, so the alignment compares integers.
void NumberLines(const std::vector<std::u16string_view>& AOriginal, const std::vector<std::u16string_view>& AChanged,
                 std::vector<int>& AOriginalIds, std::vector<int>& AChangedIds) {
    std::unordered_map<std::u16string_view, int> ids;
    auto idOf = [&ids](std::u16string_view ALine) { return ids.emplace(ALine, int(ids.size())).first->second; };
    for (auto line : AOriginal) AOriginalIds.push_back(idOf(line));
    for (auto line : AChanged) AChangedIds.push_back(idOf(line));
}

// Myers' greedy alignment; returns false when the edit distance exceeds the cap.
// AInserted receives the indices into B of the lines not matched in A.
bool AlignLines(const std::vector<int>& A, const std::vector<int>& B, std::vector<std::size_t>& AInserted) {
    const int n = int(A.size()), m = int(B.size());
    const int maxD = std::min(n + m, MaxEditDistance);
    const int offset = maxD + 1;
    std::vector<int> v(2 * std::size_t(maxD) + 3, 0);
    std::vector<std::vector<int>> trace;  // trace[d]: v before round d, for k in [-d-1, d+1]
    for (int d = 0; d <= maxD; ++d) {
        trace.emplace_back(v.begin() + (offset - d - 1), v.begin() + (offset + d + 2));
        for (int k = -d; k <= d; k += 2) {
            int x = (k == -d || (k != d && v[offset + k - 1] < v[offset + k + 1])) ? v[offset + k + 1]
                                                                                   : v[offset + k - 1] + 1;
            int y = x - k;
            while (x < n && y < m && A[x] == B[y]) ++x, ++y;
            v[offset + k] = x;
            if (x < n || y < m) continue;
            // Walk back from the end, collecting the lines of B that were inserted.
            for (int e = d; e > 0; --e) {
                const auto& prev = trace[e];
                auto at = [&prev, e](int AK) { return prev[AK + e + 1]; };
                const int kk = x - y;
                const int prevK = (kk == -e || (kk != e && at(kk - 1) < at(kk + 1))) ? kk + 1 : kk - 1;
                const int prevX = at(prevK), prevY = prevX - prevK;
                if (prevK == kk + 1) AInserted.push_back(std::size_t(prevY));
                x = prevX;
                y = prevY;
            }
            std::reverse(AInserted.begin(), AInserted.end());
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::size_t> ChangedLines(std::u16string_view AOriginal, std::u16string_view AChanged) {
    const auto original = SplitLines(AOriginal);
    const auto changed = SplitLines(AChanged);
    std::size_t head = 0;
    while (head < original.size() && head < changed.size() && original[head] == changed[head]) ++head;
    std::size_t tail = 0;
    while (tail < original.size() - head && tail < changed.size() - head &&
           original[original.size() - 1 - tail] == changed[changed.size() - 1 - tail])
        ++tail;

    const std::vector<std::u16string_view> originalMiddle(original.begin() + head, original.end() - tail);
    const std::vector<std::u16string_view> changedMiddle(changed.begin() + head, changed.end() - tail);
    std::vector<int> a, b;
    NumberLines(originalMiddle, changedMiddle, a, b);

    std::vector<std::size_t> inserted;
    if (!AlignLines(a, b, inserted)) {
        inserted.clear();
        for (std::size_t i = 0; i < b.size(); ++i) inserted.push_back(i);
    }
    for (auto& line : inserted) line += head;
    return inserted;
}
