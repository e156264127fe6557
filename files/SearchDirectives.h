#pragma once
// The folders a source adds to its own search paths with {$UNITPATH ...} and
// {$INCLUDEPATH ...}: units and include files found only there still count.

#include <filesystem>
#include <string_view>
#include <vector>

#include "Bytes.h"

namespace quorvel::files {

struct SearchDirectives {
    std::vector<std::filesystem::path> UnitFolders;
    std::vector<std::filesystem::path> IncludeFolders;
    bool Empty() const { return UnitFolders.empty() && IncludeFolders.empty(); }
};

// The directives of a source's bytes (UTF-16 with its mark, else any 8-bit
// encoding, whose syntax is ASCII), any letter case, each listing folders
// separated by ";", relative ones taken from AFolder. Directives in comments
// or inactive branches count too: counting too much only keeps order.
SearchDirectives FindSearchDirectives(ByteView ABytes, const std::filesystem::path& AFolder);

}  // namespace quorvel::files
