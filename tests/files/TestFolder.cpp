#include "TestFolder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace quorvel::files::test {
namespace fs = std::filesystem;

TestFolder::TestFolder() {
    std::random_device random;
    FPath = fs::temp_directory_path() / ("quorvel-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(FPath);
}

TestFolder::~TestFolder() {
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(FPath, error); !error && it != fs::recursive_directory_iterator();
         it.increment(error)) {
        if (!it->is_symlink()) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::remove_all(FPath, error);
}

fs::path TestFolder::Write(std::string_view AName, const Bytes& ABytes) const {
    const fs::path path = FPath / Utf8Path(AName);
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(ABytes.data()),
                                                static_cast<std::streamsize>(ABytes.size()));
    return path;
}

fs::path TestFolder::Write(std::string_view AName, std::string_view AText) const {
    return Write(AName, AsBytes(AText));
}

std::vector<std::string> TestFolder::Entries() const {
    std::vector<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(FPath)) {
        const std::u8string name = entry.path().lexically_relative(FPath).generic_u8string();
        entries.emplace_back(name.begin(), name.end());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

Bytes ReadBytes(const fs::path& APath) {
    std::ifstream in(APath, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path Utf8Path(std::string_view AText) { return fs::path(std::u8string(AText.begin(), AText.end())); }

Bytes AsBytes(std::string_view AText) { return Bytes(AText.begin(), AText.end()); }

Bytes Concat(Bytes AFirst, const Bytes& ASecond) {
    AFirst.insert(AFirst.end(), ASecond.begin(), ASecond.end());
    return AFirst;
}

std::string UnitText(std::string_view AName, std::string_view AInterface) {
    return "unit " + std::string(AName) + ";\ninterface\n" + std::string(AInterface) + "\nimplementation\nend.\n";
}

}  // namespace quorvel::files::test
