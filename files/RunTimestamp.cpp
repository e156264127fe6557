#include "RunTimestamp.h"

#include <cstdio>

namespace quorvel::files {

std::u16string FormatRunTimestamp(const std::tm& ATime) {
    char text[64];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d:%02d", ATime.tm_mday, ATime.tm_mon + 1,
                  ATime.tm_year + 1900, ATime.tm_hour, ATime.tm_min, ATime.tm_sec);
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

std::u16string CurrentRunTimestamp() {
    const std::time_t now = std::time(nullptr);
    return FormatRunTimestamp(*std::localtime(&now));  // once per run, on the caller's thread
}

}  // namespace quorvel::files
