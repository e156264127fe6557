#include "PathText.h"

#include <type_traits>

#include "Utf8.h"

namespace quorvel::files {

std::string PathMessageText(const std::filesystem::path& APath) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>) {
        return Utf8FromText(TextFromUtf8(APath.native()));  // repairs names that are not UTF-8
    } else {
        return Utf8FromText(PathDisplayText(APath));
    }
}

std::u16string PathDisplayText(const std::filesystem::path& APath) {
    if constexpr (std::is_same_v<std::filesystem::path::value_type, char>) {
        return TextFromUtf8(APath.native());
    } else {
        const auto& native = APath.native();  // UTF-16 on Windows
        return std::u16string(native.begin(), native.end());
    }
}

std::u16string_view FileNameOfPath(std::u16string_view APath) {
    const auto last = APath.find_last_of(u"/\\:");
    return last == std::u16string_view::npos ? APath : APath.substr(last + 1);
}

}  // namespace quorvel::files
