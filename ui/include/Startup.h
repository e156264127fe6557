#pragma once
// The program's start-up sequence, shared by the executable and by tools that
// need the real window (the start-up benchmark, the screenshot script).

#include <functional>

class TFrmMain;

// Runs the program until its window closes; returns the exit code. AOnShown,
// when given, runs once the window is on screen.
int RunQuorvel(int& argc, char** argv, const std::function<void(TFrmMain&)>& AOnShown = {});
