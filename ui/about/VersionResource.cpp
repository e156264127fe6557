#include "VersionResource.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>

std::optional<TFileVersion> ReadVersionResource(const QString& APath) {
    const std::wstring path = APath.toStdWString();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE)
        return std::nullopt;
    return TFileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                        HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

std::optional<TFileVersion> ProgramFileVersion() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // the path was cut off: long paths are allowed
    }
    return ReadVersionResource(QString::fromStdWString(path));
}

#else

std::optional<TFileVersion> ReadVersionResource(const QString&) { return std::nullopt; }

std::optional<TFileVersion> ProgramFileVersion() { return CompiledFileVersion(); }

#endif
