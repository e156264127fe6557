#pragma once
// "[done/total]" on standard error while a long run goes on, rewritten in
// place, for a terminal only. It shows once a run has taken a second, so short
// runs print nothing extra.

#include <chrono>
#include <cstddef>
#include <cstdio>

namespace quorvel::cli {

class ProgressLine {
public:
    explicit ProgressLine(bool AEnabled);
    void Show(std::size_t ADone, std::size_t ATotal);
    void Clear();  // before any other output and at the end

private:
    using Clock = std::chrono::steady_clock;
    bool FEnabled;
    bool FVisible = false;
    Clock::time_point FStart = Clock::now();
    Clock::time_point FLastShown{};
};

}  // namespace quorvel::cli
