#include "IniText.h"

#include <algorithm>

#include "FileBytes.h"
#include "FileError.h"
#include "Utf8.h"

namespace quorvel::cli {
namespace {

constexpr std::u16string_view kBlanks = u" \t";

std::u16string_view Trimmed(std::u16string_view AText) {
    const auto first = AText.find_first_not_of(kBlanks);
    if (first == std::u16string_view::npos) return {};
    return AText.substr(first, AText.find_last_not_of(kBlanks) - first + 1);
}

std::u16string DecodedText(const std::filesystem::path& APath) {
    files::Bytes bytes = files::ReadFileBytes(APath);
    constexpr std::uint8_t kMark[] = {0xEF, 0xBB, 0xBF};
    const bool marked = bytes.size() >= 3 && std::equal(kMark, kMark + 3, bytes.begin());
    const files::ByteView content = files::ByteView(bytes).subspan(marked ? 3 : 0);
    files::Utf8Decoding decoding = files::DecodeUtf8Strict(content);
    if (decoding.ErrorOffset) {
        const auto lineOf = std::count(content.begin(), content.begin() + std::ptrdiff_t(*decoding.ErrorOffset), '\n');
        ThrowIniError(APath, std::size_t(lineOf) + 1, "the text is not UTF-8");
    }
    return std::move(decoding.Text);
}

class LineReader {
public:
    LineReader(const std::filesystem::path& APath, std::u16string_view ASection, std::vector<IniEntry>& AEntries)
        : FPath(APath), FSection(ASection), FEntries(AEntries) {}

    void Read(std::u16string_view ALine, std::size_t ANumber) {
        if (ALine.ends_with(u'\r')) ALine.remove_suffix(1);
        const std::u16string_view text = Trimmed(ALine);
        if (text.empty() || text.front() == u';' || text.front() == u'#') return;
        if (text.front() == u'[') return ReadSection(text, ANumber);
        const auto equals = text.find(u'=');
        if (equals == std::u16string_view::npos) Fail(ANumber, "not a [section], a key = value pair or a comment");
        ReadPair(Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1)), ANumber);
    }

private:
    void ReadSection(std::u16string_view AText, std::size_t ANumber) {
        if (!AText.ends_with(u']')) Fail(ANumber, "a section line must end with \"]\"");
        const std::u16string_view name = Trimmed(AText.substr(1, AText.size() - 2));
        if (!SameIniName(name, FSection))
            Fail(ANumber, "section [" + Utf8(name) + "] is not known; the options go in [" + Utf8(FSection) + "]");
        FSectionOpen = true;
    }

    void ReadPair(std::u16string_view AKey, std::u16string_view AValue, std::size_t ANumber) {
        if (AKey.empty()) Fail(ANumber, "a key name is missing before \"=\"");
        if (!FSectionOpen) Fail(ANumber, "key " + Utf8(AKey) + " is outside any [section]");
        for (const IniEntry& earlier : FEntries) {
            if (SameIniName(earlier.Key, AKey))
                Fail(ANumber, "key " + Utf8(AKey) + " is given a second time (first on line " +
                                  std::to_string(earlier.Line) + ")");
        }
        FEntries.push_back({std::u16string(AKey), std::u16string(AValue), ANumber});
    }

    static std::string Utf8(std::u16string_view AText) { return files::Utf8FromText(AText); }
    [[noreturn]] void Fail(std::size_t ANumber, const std::string& AReason) const {
        ThrowIniError(FPath, ANumber, AReason);
    }

    const std::filesystem::path& FPath;
    const std::u16string_view FSection;
    std::vector<IniEntry>& FEntries;
    bool FSectionOpen = false;
};

}  // namespace

bool SameIniName(std::u16string_view A, std::u16string_view B) {
    const auto folded = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    return std::equal(A.begin(), A.end(), B.begin(), B.end(),
                      [&](char16_t a, char16_t b) { return folded(a) == folded(b); });
}

void ThrowIniError(const std::filesystem::path& APath, std::size_t ALine, const std::string& AReason) {
    throw files::MakeFileError("Cannot use options file", APath, "line " + std::to_string(ALine) + ": " + AReason);
}

std::vector<IniEntry> ReadIniFile(const std::filesystem::path& APath, std::u16string_view ASection) {
    const std::u16string text = DecodedText(APath);
    std::vector<IniEntry> entries;
    LineReader reader(APath, ASection, entries);
    std::size_t number = 1;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        reader.Read(std::u16string_view(text).substr(start, end - start), number);
        start = end + 1;
    }
    return entries;
}

}  // namespace quorvel::cli
