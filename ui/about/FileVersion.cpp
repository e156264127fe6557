#include "FileVersion.h"

#include <QStringList>

#include "QuorvelVersion.h"

namespace {

constexpr bool FitsField(long long ANumber) { return ANumber >= 0 && ANumber <= 0xFFFF; }
static_assert(FitsField(QUORVEL_VERSION_MAJOR) && FitsField(QUORVEL_VERSION_MINOR) &&
                  FitsField(QUORVEL_VERSION_PATCH) && FitsField(QUORVEL_VERSION_BUILD),
              "each of the four project version numbers must fit a 16-bit file-version field");

QString JoinNumbers(std::initializer_list<std::uint16_t> ANumbers) {
    QStringList pieces;
    for (std::uint16_t number : ANumbers) pieces << QString::number(number);
    return pieces.join(u'.');
}

}  // namespace

std::optional<TFileVersion> CompiledFileVersion() {
    return TFileVersion{QUORVEL_VERSION_MAJOR, QUORVEL_VERSION_MINOR, QUORVEL_VERSION_PATCH, QUORVEL_VERSION_BUILD};
}

QString AppVersionText(const std::optional<TFileVersion>& AVersion) {
    if (!AVersion) return {};
    return JoinNumbers({AVersion->Major, AVersion->Minor, AVersion->Release});
}

QString BuildVersionText(const std::optional<TFileVersion>& AVersion) {
    if (!AVersion) return {};
    return JoinNumbers({AVersion->Major, AVersion->Minor, AVersion->Release, AVersion->Build});
}
