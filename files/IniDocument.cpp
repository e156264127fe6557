#include "IniDocument.h"

#include <algorithm>

#include "AsciiCase.h"
#include "FileBytes.h"
#include "FileError.h"
#include "Utf8.h"

namespace quorvel::files {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::u16string_view kBlanks = u" \t\r\v\f";

std::u16string_view Trimmed(std::u16string_view AText) {
    const auto first = AText.find_first_not_of(kBlanks);
    if (first == std::u16string_view::npos) return {};
    return AText.substr(first, AText.find_last_not_of(kBlanks) - first + 1);
}

bool IsComment(std::u16string_view AText) { return AText.starts_with(u';') || AText.starts_with(u'#'); }

std::optional<std::u16string_view> SectionName(std::u16string_view AText) {
    if (!AText.starts_with(u'[')) return std::nullopt;
    const auto close = AText.find(u']');
    return Trimmed(close == std::u16string_view::npos ? AText.substr(1) : AText.substr(1, close - 1));
}

std::string Utf8(std::u16string_view AText) { return Utf8FromText(AText); }

// Reads the lines of one document strictly, collecting ASection's entries.
class StrictReader {
public:
    StrictReader(const std::filesystem::path& AFile, std::u16string_view ASection) : FFile(AFile), FSection(ASection) {}

    void Read(std::u16string_view ALine, std::size_t ANumber) {
        const std::u16string_view text = Trimmed(ALine);
        if (text.empty() || IsComment(text)) return;
        if (text.front() == u'[') return ReadSection(text, ANumber);
        const auto equals = text.find(u'=');
        if (equals == std::u16string_view::npos) Fail(ANumber, "not a [section], a key = value pair or a comment");
        ReadPair(Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1)), ANumber);
    }

    std::vector<IniEntry> Finish() {
        if (!FOtherSections.empty() && !FSeenSection)
            ThrowOptionsFileError(FFile, FOtherSections.front().second,
                                  "section [" + Utf8(FOtherSections.front().first) + "] is not known; the options go in [" +
                                      Utf8(FSection) + "]");
        return std::move(FEntries);
    }

private:
    void ReadSection(std::u16string_view AText, std::size_t ANumber) {
        if (!AText.ends_with(u']')) Fail(ANumber, "a section line must end with \"]\"");
        const std::u16string_view name = Trimmed(AText.substr(1, AText.size() - 2));
        FInSection = SameAsciiName(name, FSection);
        FSeenSection = FSeenSection || FInSection;
        FInOther = !FInSection;
        if (FInOther) FOtherSections.emplace_back(name, ANumber);
    }

    void ReadPair(std::u16string_view AKey, std::u16string_view AValue, std::size_t ANumber) {
        if (AKey.empty()) Fail(ANumber, "a key name is missing before \"=\"");
        if (FInOther) return;
        if (!FInSection) Fail(ANumber, "key " + Utf8(AKey) + " is outside any [section]");
        for (const IniEntry& earlier : FEntries) {
            if (SameAsciiName(earlier.Key, AKey))
                Fail(ANumber, "key " + Utf8(AKey) + " is given a second time (first on line " +
                                  std::to_string(earlier.Line) + ")");
        }
        FEntries.push_back({std::u16string(AKey), std::u16string(AValue), ANumber});
    }

    [[noreturn]] void Fail(std::size_t ANumber, const std::string& AReason) const {
        ThrowOptionsFileError(FFile, ANumber, AReason);
    }

    const std::filesystem::path& FFile;
    const std::u16string_view FSection;
    std::vector<IniEntry> FEntries;
    std::vector<std::pair<std::u16string, std::size_t>> FOtherSections;
    bool FInSection = false;
    bool FInOther = false;
    bool FSeenSection = false;
};

}  // namespace

IniDocument::IniDocument(std::string_view ABytes) {
    if (ABytes.empty()) return;
    for (std::size_t start = 0; start <= ABytes.size();) {
        const std::size_t end = std::min(ABytes.find('\n', start), ABytes.size());
        FLines.emplace_back(ABytes.substr(start, end - start));
        start = end + 1;
    }
    FEndsWithBreak = ABytes.ends_with('\n');
    if (FEndsWithBreak) FLines.pop_back();  // the empty piece after the final break
}

IniDocument IniDocument::Load(const std::filesystem::path& APath) {
    std::error_code error;
    if (!std::filesystem::exists(APath, error) && !error) return {};
    const Bytes bytes = ReadFileBytes(APath);
    return IniDocument(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::u16string IniDocument::LineText(std::size_t AIndex) const {
    std::string_view bytes = FLines[AIndex];
    if (AIndex == 0 && bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
    return std::u16string(Trimmed(TextFromUtf8(bytes)));
}

std::optional<IniDocument::LineRange> IniDocument::FindSection(std::u16string_view ASection) const {
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const std::u16string text = LineText(i);
        const auto name = SectionName(text);
        if (!name || !SameAsciiName(*name, ASection)) continue;
        std::size_t end = i + 1;
        while (end < FLines.size() && !SectionName(LineText(end))) ++end;
        return LineRange{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const LineRange& ASection, std::u16string_view AKey) const {
    for (std::size_t i = ASection.First + 1; i < ASection.End; ++i) {
        const std::u16string text = LineText(i);
        const auto equals = text.find(u'=');
        if (equals == std::u16string::npos || IsComment(text)) continue;
        if (SameAsciiName(Trimmed(std::u16string_view(text).substr(0, equals)), AKey)) return i;
    }
    return std::nullopt;
}

std::optional<std::u16string> IniDocument::Read(std::u16string_view ASection, std::u16string_view AKey) const {
    const auto section = FindSection(ASection);
    if (!section) return std::nullopt;
    const auto key = FindKey(*section, AKey);
    if (!key) return std::nullopt;
    const std::u16string text = LineText(*key);
    return std::u16string(Trimmed(std::u16string_view(text).substr(text.find(u'=') + 1)));
}

bool IniDocument::UsesCrLf() const {
#ifdef _WIN32
    return FLines.empty() || FLines.front().ends_with('\r');
#else
    return !FLines.empty() && FLines.front().ends_with('\r');
#endif
}

// A new line in the file's own line-break style; line breaks inside the text would split it.
std::string IniDocument::NewLine(std::u16string_view AText) const {
    std::u16string text(AText);
    std::replace(text.begin(), text.end(), u'\r', u' ');
    std::replace(text.begin(), text.end(), u'\n', u' ');
    std::string line = Utf8(text);
    if (UsesCrLf()) line += '\r';
    return line;
}

void IniDocument::InsertLine(std::size_t AAt, std::string ALine) {
    if (AAt == FLines.size()) {
        // The old last line may have had no break of its own.
        if (!FEndsWithBreak && !FLines.empty() && UsesCrLf() && !FLines.back().ends_with('\r')) FLines.back() += '\r';
        FEndsWithBreak = true;
    }
    FLines.insert(FLines.begin() + std::ptrdiff_t(AAt), std::move(ALine));
}

void IniDocument::Write(std::u16string_view ASection, std::u16string_view AKey, std::u16string_view AValue) {
    std::string keyLine = NewLine(std::u16string(AKey) + u'=' + std::u16string(AValue));
    const auto section = FindSection(ASection);
    if (!section) {
        InsertLine(FLines.size(), NewLine(u'[' + std::u16string(ASection) + u']'));
        InsertLine(FLines.size(), std::move(keyLine));
        return;
    }
    if (const auto key = FindKey(*section, AKey)) {
        FLines[*key] = std::move(keyLine);
        return;
    }
    // After the section's last non-blank line, so blank lines stay between sections.
    std::size_t at = section->End;
    while (at > section->First + 1 && LineText(at - 1).empty()) --at;
    InsertLine(at, std::move(keyLine));
}

std::string IniDocument::Content() const {
    std::string bytes;
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        bytes += FLines[i];
        if (i + 1 < FLines.size() || FEndsWithBreak) bytes += '\n';
    }
    return bytes;
}

void IniDocument::Save(const std::filesystem::path& APath) const {
    const std::string bytes = Content();
    WriteFileBytes(APath, ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<IniEntry> IniDocument::StrictEntries(const std::filesystem::path& AFile,
                                                 std::u16string_view ASection) const {
    StrictReader reader(AFile, ASection);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        std::string_view bytes = FLines[i];
        if (i == 0 && bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
        const Utf8Decoding line = DecodeUtf8Strict(ByteView(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                            bytes.size()));
        if (line.ErrorOffset) ThrowOptionsFileError(AFile, i + 1, "the text is not UTF-8");
        reader.Read(line.Text, i + 1);
    }
    return reader.Finish();
}

void ThrowOptionsFileError(const std::filesystem::path& APath, std::size_t ALine, const std::string& AReason) {
    throw MakeFileError("Cannot use options file", APath, "line " + std::to_string(ALine) + ": " + AReason);
}

}  // namespace quorvel::files
