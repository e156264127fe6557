// Starts the real program and prints, once its window is shown, the
// monotonic clock in nanoseconds; then quits. Used by bench_ui.

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "Startup.h"

int main(int argc, char* argv[]) {
    return RunQuorvel(argc, argv, [](TFrmMain&) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("%lld\n", static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}
