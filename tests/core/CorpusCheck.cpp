// corpus_check: formats every Pascal source under the given folders (by
// default Debian's Free Pascal and Lazarus source trees) under several option
// sets and checks the properties of FormatInvariants.h on each. Prints counts
// and every failure with its file; exits 1 when any check failed.
// Usage: corpus_check [FOLDER...]

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "FormatInvariants.h"
#include "NativeUnitsCheck.h"
#include "QuorvelCore.h"
#include "TestText.h"

namespace {

namespace fs = std::filesystem;

bool IsPascalSource(const fs::path& APath) {
    std::string ext = APath.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".pas" || ext == ".dpr" || ext == ".dpk" || ext == ".pp" || ext == ".lpr";
}

std::vector<fs::path> ListSources(const std::vector<fs::path>& ARoots) {
    std::vector<fs::path> files;
    for (const fs::path& root : ARoots) {
        std::error_code error;
        for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
             !error && it != end; it.increment(error)) {
            if (it->is_regular_file(error) && IsPascalSource(it->path())) files.push_back(it->path());
        }
        if (error) std::fprintf(stderr, "cannot list %s: %s\n", root.string().c_str(), error.message().c_str());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// UTF-8 when the bytes are that (mark dropped), else one code unit per byte.
std::u16string Decode(std::string_view ABytes) {
    const std::string_view body = ABytes.starts_with("\xEF\xBB\xBF") ? ABytes.substr(3) : ABytes;
    return quorvel::test::DecodeUtf8(body).value_or(std::u16string(ABytes.begin(), ABytes.end()));
}

std::u16string ReadSource(const fs::path& APath) {
    std::ifstream in(APath, std::ios::binary);
    return Decode(std::string{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
}

std::u16string FoldedAscii(std::u16string_view AText) {
    std::u16string folded(AText);
    for (char16_t& c : folded) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    }
    return folded;
}

// The units of the listed files by file name; the first file of a name wins.
class FolderCatalog : public quorvel::TUnitCatalog {
public:
    explicit FolderCatalog(const std::vector<fs::path>& AFiles) {
        for (const fs::path& file : AFiles) {
            const std::u16string ext = FoldedAscii(file.extension().u16string());
            const std::u16string name = FoldedAscii(file.stem().u16string());
            if ((ext != u".PAS" && ext != u".PP") || FUnits.contains(name)) continue;
            const fs::path folder = file.parent_path();
            const auto readInclude = [&](std::u16string_view AName) -> std::optional<std::u16string> {
                std::error_code error;
                for (fs::path path : {folder / fs::path(AName), folder / fs::path(std::u16string(AName) + u".inc")}) {
                    if (fs::is_regular_file(path, error)) return ReadSource(path);
                }
                return std::nullopt;
            };
            FUnits.emplace(name, quorvel::F_InterfaceIdentifiers(ReadSource(file), readInclude));
        }
    }

    const quorvel::TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override {
        const auto found = FUnits.find(FoldedAscii(AUnitName));
        return found == FUnits.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<std::u16string, quorvel::TIdentifierSet> FUnits;
};

struct OptionSet {
    const char* Name;
    bool VerticalList;
    std::int32_t WordWrapAt;
    bool PreserveComments;
    const quorvel::TUnitCatalog* Catalog = nullptr;
    long Rewritten = 0;
    long Skipped = 0;
    long Kept = 0;
    long Failures = 0;
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> roots(argv + 1, argv + argc);
    if (roots.empty()) roots = {"/usr/share/fpcsrc", "/usr/lib/lazarus"};
    const std::vector<fs::path> files = ListSources(roots);
    if (files.empty()) {
        std::fprintf(stderr, "no Pascal sources found (install fpc-source-3.2.2 and lazarus-src-2.2)\n");
        return 1;
    }
    const FolderCatalog catalog(files);
    OptionSet sets[] = {{"vertical", true, 80, true},
                        {"wrapped at 80", false, 80, true},
                        {"without comments", true, 80, false},
                        {"names kept", true, 80, true, &catalog}};
    long long bytes = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string raw{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        bytes += static_cast<long long>(raw.size());
        const std::u16string text = Decode(raw);
        for (OptionSet& set : sets) {
            quorvel::TQuorvel formatter;
            formatter.SetVerticalList(set.VerticalList);
            formatter.SetWordWrapAt(set.WordWrapAt);
            formatter.SetPreserveComments(set.PreserveComments);
            formatter.SetUnitCatalog(set.Catalog);
            formatter.SetOnClauseNote([&](const quorvel::TClauseNote& ANoteSeen) { const std::u16string AMsg = quorvel::F_ClauseNoteLine(ANoteSeen);
                if (AMsg.find(u"directives") != std::u16string::npos) ++set.Skipped;
                if (AMsg.starts_with(u"  [KEEP]")) ++set.Kept;
            });
            if (formatter.F_FormatSource(text) != text) ++set.Rewritten;
            std::string failure = quorvel::test::CheckFormatting(formatter, text);
            if (failure.empty()) failure = quorvel::test::CheckNativeUnits(formatter, raw);
            if (!failure.empty()) {
                ++set.Failures;
                std::printf("FAIL [%s] %s: %s\n", set.Name, file.string().c_str(), failure.c_str());
            }
        }
    }
    std::printf("%zu files, %lld bytes\n", files.size(), bytes);
    long failures = 0;
    for (const OptionSet& set : sets) {
        // Notes come from three formattings per file: the counted one and the check's two.
        std::printf("%-17s rewritten %ld, clauses with directives %ld, unit pairs kept for names %ld, failures %ld\n",
                    set.Name, set.Rewritten, set.Skipped / 3, set.Kept / 3, set.Failures);
        failures += set.Failures;
    }
    return failures == 0 ? 0 : 1;
}
