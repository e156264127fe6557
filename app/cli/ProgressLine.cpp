#include "ProgressLine.h"

namespace quorvel::cli {
namespace {

constexpr auto kDelay = std::chrono::seconds(1);
constexpr auto kInterval = std::chrono::milliseconds(100);
constexpr const char* kBlankLine = "\r                              \r";  // wider than any progress text

}  // namespace

ProgressLine::ProgressLine(bool AEnabled) : FEnabled(AEnabled) {}

void ProgressLine::Show(std::size_t ADone, std::size_t ATotal) {
    const auto now = Clock::now();
    if (!FEnabled || now - FStart < kDelay || now - FLastShown < kInterval) return;
    FLastShown = now;
    std::fprintf(stderr, "\r[%zu/%zu]", ADone, ATotal);
    std::fflush(stderr);
    FVisible = true;
}

void ProgressLine::Clear() {
    if (!FVisible) return;
    std::fputs(kBlankLine, stderr);
    std::fflush(stderr);
    FVisible = false;
}

}  // namespace quorvel::cli
