#include "PathText.h"

#include "Utf8.h"

namespace quorvel::files {

// Windows names are UTF-16 already; elsewhere they are bytes, read as UTF-8,
// which also repairs names that are not.
#ifdef _WIN32
std::u16string PathDisplayText(const std::filesystem::path& APath) {
    const auto& native = APath.native();
    return std::u16string(native.begin(), native.end());
}
#else
std::u16string PathDisplayText(const std::filesystem::path& APath) { return TextFromUtf8(APath.native()); }
#endif

std::string PathMessageText(const std::filesystem::path& APath) { return Utf8FromText(PathDisplayText(APath)); }

std::u16string_view FileNameOfPath(std::u16string_view APath) {
    const auto last = APath.find_last_of(u"/\\:");
    return last == std::u16string_view::npos ? APath : APath.substr(last + 1);
}

}  // namespace quorvel::files
