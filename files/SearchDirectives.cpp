#include "SearchDirectives.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "AsciiCase.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

void AddFolders(std::vector<fs::path>& AFolders, std::u16string_view AList, const fs::path& AFolder) {
    while (!AList.empty()) {
        const std::size_t at = AList.find(u';');
        std::u16string piece(AList.substr(0, at));
        piece.erase(std::remove_if(piece.begin(), piece.end(), [](char16_t c) { return c == u'\'' || c == u'"'; }),
                    piece.end());
        while (!piece.empty() && piece.back() == u' ') piece.pop_back();
        while (!piece.empty() && piece.front() == u' ') piece.erase(0, 1);
#ifndef _WIN32
        std::replace(piece.begin(), piece.end(), u'\\', u'/');
#endif
        if (!piece.empty()) {
            const fs::path folder(piece);
            AFolders.push_back((folder.is_absolute() ? folder : AFolder / folder).lexically_normal());
        }
        if (at == std::u16string_view::npos) break;
        AList.remove_prefix(at + 1);
    }
}

// The next `{` from AFrom on, or the size: a whole file is searched, and most of it is no directive.
std::size_t NextBrace(ByteView AText, std::size_t AFrom) {
    const void* found = std::memchr(AText.data() + AFrom, '{', AText.size() - AFrom);
    return found == nullptr ? AText.size() : static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - AText.data());
}

std::size_t NextBrace(std::u16string_view AText, std::size_t AFrom) {
    return std::min(AText.find(u'{', AFrom), AText.size());
}

template <typename Units>
SearchDirectives Find(const Units& AText, const fs::path& AFolder) {
    SearchDirectives found;
    static constexpr std::pair<std::u16string_view, bool> kNames[] = {{u"UNITPATH", true}, {u"INCLUDEPATH", false}};
    for (std::size_t at = NextBrace(AText, 0); at + 2 < AText.size(); at = NextBrace(AText, at + 1)) {
        if (AText[at + 1] != '$') continue;
        for (const auto& [name, units] : kNames) {
            const std::size_t start = at + 2;
            if (start + name.size() >= AText.size()) continue;
            bool same = true;
            for (std::size_t i = 0; same && i < name.size(); ++i)
                same = FoldAscii(static_cast<char16_t>(AText[start + i])) == name[i];
            const char16_t after = static_cast<char16_t>(AText[start + name.size()]);
            if (!same || (after != u' ' && after != u'\t')) continue;
            std::u16string list;
            for (std::size_t i = start + name.size(); i < AText.size() && AText[i] != '}'; ++i)
                list += static_cast<char16_t>(AText[i]);
            AddFolders(units ? found.UnitFolders : found.IncludeFolders, list, AFolder);
        }
    }
    return found;
}

}  // namespace

SearchDirectives FindSearchDirectives(ByteView ABytes, const fs::path& AFolder) {
    const bool little = ABytes.size() >= 2 && ABytes[0] == 0xFF && ABytes[1] == 0xFE;
    const bool big = ABytes.size() >= 2 && ABytes[0] == 0xFE && ABytes[1] == 0xFF;
    if (!little && !big) return Find(ABytes, AFolder);
    std::u16string text;
    for (std::size_t i = 2; i + 1 < ABytes.size(); i += 2)
        text += static_cast<char16_t>(little ? ABytes[i] | (ABytes[i + 1] << 8) : (ABytes[i] << 8) | ABytes[i + 1]);
    return Find(std::u16string_view(text), AFolder);
}

}  // namespace quorvel::files
