#pragma once
// The date and time in a run's first log line: "dd.mm.yyyy hh:nn:ss".

#include <ctime>
#include <string>

namespace quorvel::files {

std::u16string FormatRunTimestamp(const std::tm& ATime);
std::u16string CurrentRunTimestamp();  // local time

}  // namespace quorvel::files
