#include "Arguments.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>
#endif

#include "Utf8.h"

namespace quorvel::cli {

#ifdef _WIN32
std::vector<std::string> Utf8Arguments(int, char**) {
    int count = 0;
    wchar_t** const arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> result;
    for (int i = 0; arguments && i < count; ++i) {
        const std::wstring_view argument = arguments[i];
        result.push_back(files::Utf8FromText(std::u16string(argument.begin(), argument.end())));
    }
    ::LocalFree(arguments);
    return result;
}

std::filesystem::path PathFromArgument(const std::string& AArgument) {
    const std::u16string name = files::TextFromUtf8(AArgument);
    return std::wstring(name.begin(), name.end());
}
#else
std::vector<std::string> Utf8Arguments(int AArgc, char** AArgv) { return {AArgv, AArgv + AArgc}; }

std::filesystem::path PathFromArgument(const std::string& AArgument) { return AArgument; }
#endif

}  // namespace quorvel::cli
