#include "VersionCompare.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "IntegerText.h"

namespace quorvel {
namespace {

std::vector<std::int32_t> PieceNumbers(std::u16string_view AVersion) {
    std::vector<std::int32_t> numbers;
    if (AVersion.empty()) return numbers;
    for (;;) {
        const std::size_t dot = AVersion.find(u'.');
        numbers.push_back(ParseIntegerText(AVersion.substr(0, dot)).value_or(0));
        if (dot == std::u16string_view::npos) return numbers;
        AVersion.remove_prefix(dot + 1);
    }
}

}  // namespace

int CompareVersions(std::u16string_view AVersion1, std::u16string_view AVersion2) {
    const std::vector<std::int32_t> numbers1 = PieceNumbers(AVersion1);
    const std::vector<std::int32_t> numbers2 = PieceNumbers(AVersion2);
    const std::size_t count = std::max(numbers1.size(), numbers2.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t a = i < numbers1.size() ? numbers1[i] : 0;
        const std::int32_t b = i < numbers2.size() ? numbers2[i] : 0;
        if (a != b) return a < b ? -1 : 1;
    }
    return 0;
}

}  // namespace quorvel
