#pragma once
// The program's four file-version numbers and the two texts made from them.

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

struct TFileVersion {
    std::uint16_t Major = 0;
    std::uint16_t Minor = 0;
    std::uint16_t Release = 0;
    std::uint16_t Build = 0;
};

// Where the version is read from on each request; nothing when the program
// carries no version.
using TVersionSource = std::function<std::optional<TFileVersion>()>;

// The numbers the build compiled in (the project version in CMakeLists.txt).
std::optional<TFileVersion> CompiledFileVersion();

// "major.minor.release", or empty without a version.
QString AppVersionText(const std::optional<TFileVersion>& AVersion);
// "major.minor.release.build", or empty without a version.
QString BuildVersionText(const std::optional<TFileVersion>& AVersion);
