#pragma once
// Runs a long job off the user-interface thread while the window keeps
// painting, shows progress and takes no user input, as if the job ran in the
// handler itself.

#include <functional>

// Runs AWork on a worker thread and returns when it has ended; an error it
// throws is thrown again here. Meanwhile this thread calls ATick every few
// milliseconds and once more at the end, and mouse, keyboard and drop input to
// the application is swallowed.
void RunWithInputBlocked(const std::function<void()>& AWork, const std::function<void()>& ATick);
