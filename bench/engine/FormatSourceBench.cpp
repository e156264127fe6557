// Throughput of F_FormatSource. Bytes processed are the text's code units,
// which for these mostly ASCII sources are the bytes of the files on disk.
// bench_engine [--corpus=FOLDER,...] overrides the real-code folders.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "QuorvelCore.h"
#include "UnitInterface.h"

namespace {

namespace fs = std::filesystem;

std::u16string Ascii(std::string_view AText) { return {AText.begin(), AText.end()}; }

// N distinct unit names in a shuffled order, so the clause must be sorted.
std::vector<std::u16string> ShuffledNames(std::size_t ACount) {
    std::vector<std::u16string> names;
    names.reserve(ACount);
    for (std::size_t i = 0; i < ACount; ++i) names.push_back(Ascii("Vendor.Lib" + std::to_string(i * 7919 % 100003)));
    std::shuffle(names.begin(), names.end(), std::mt19937(42));
    return names;
}

std::u16string UsesClause(std::size_t ACount) {
    std::u16string clause = u"uses\r\n";
    const std::vector<std::u16string> names = ShuffledNames(ACount);
    for (std::size_t i = 0; i < names.size(); ++i) {
        clause += u"  " + names[i] + (i + 1 < names.size() ? u",\r\n" : u";\r\n");
    }
    return clause;
}

// Declarations and routines with the comments and strings the scans must skip.
std::u16string CodeBlock(std::size_t AIndex) {
    const std::u16string n = Ascii(std::to_string(AIndex));
    return u"{ Routine " + n + u": keeps the interface; implementation detail }\r\n"
           u"procedure TWorker.Step" + n + u"(const AValue: string);\r\n"
           u"var\r\n  I: Integer; // loop counter\r\n"
           u"begin\r\n  for I := 0 to 10 do\r\n"
           u"    Log('step ' + AValue + '; it''s fine (* not a comment *)');\r\n"
           u"  (* uses in a comment is no clause *)\r\n"
           u"  FCount := FCount + I;\r\nend;\r\n\r\n";
}

std::u16string LargeUnit(std::size_t ASize, std::size_t ANames) {
    std::u16string text = u"unit Large;\r\n\r\ninterface\r\n\r\n" + UsesClause(ANames) +
                          u"\r\ntype\r\n  TWorker = class\r\n  end;\r\n\r\n";
    for (std::size_t i = 0; text.size() < ASize / 5; ++i) text += u"  TAlias" + Ascii(std::to_string(i)) + u" = Integer; // alias\r\n";
    text += u"\r\nimplementation\r\n\r\n";
    for (std::size_t i = 0; text.size() < ASize; ++i) text += CodeBlock(i);
    return text + u"end.\r\n";
}

void Run(benchmark::State& AState, const std::vector<std::u16string>& ATexts,
         const quorvel::TUnitCatalog* ACatalog = nullptr, quorvel::TFormatOptions AOptions = {}) {
    quorvel::TQuorvel formatter(std::move(AOptions));
    formatter.SetUnitCatalog(ACatalog);
    std::size_t units = 0;
    for (const std::u16string& text : ATexts) units += text.size();
    for (auto _ : AState) {
        for (const std::u16string& text : ATexts) benchmark::DoNotOptimize(formatter.F_FormatSource(text));
    }
    AState.SetBytesProcessed(static_cast<std::int64_t>(AState.iterations() * units));
}

void BM_FiveMegabyteUnit(benchmark::State& AState) {
    static const std::vector<std::u16string> texts{LargeUnit(5'000'000, 2000)};
    Run(AState, texts);
}

// The same unit as the 8-bit code units of an ANSI or UTF-8 file: only the
// rewritten clause is widened.
void BM_FiveMegabyteUnitAsBytes(benchmark::State& AState) {
    static const std::string bytes = [] {
        const std::u16string text = LargeUnit(5'000'000, 2000);
        return std::string(text.begin(), text.end());  // ASCII
    }();
    const quorvel::TWiden widen = [](std::string_view APiece) { return std::u16string(APiece.begin(), APiece.end()); };
    const quorvel::TQuorvel formatter;
    for (auto _ : AState) benchmark::DoNotOptimize(formatter.F_ClauseRewrites(bytes, widen));
    AState.SetBytesProcessed(static_cast<std::int64_t>(AState.iterations() * bytes.size()));
}

void BM_HundredThousandNames(benchmark::State& AState) {
    static const std::vector<std::u16string> texts{u"program Huge;\r\n\r\n" + UsesClause(100'000) + u"\r\nbegin\r\nend.\r\n"};
    Run(AState, texts);
}

std::vector<fs::path> gCorpusRoots{"/usr/share/fpcsrc", "/usr/lib/lazarus"};

std::string Lower(std::string AText) {
    for (char& c : AText) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return AText;
}

std::u16string ReadLatin1(const fs::path& APath) {
    std::ifstream in(APath, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return {bytes.begin(), bytes.end()};
}

struct CorpusFile {
    fs::path Path;
    std::u16string Text;
};

// Every Pascal source of the folders, read once: bytes as Latin-1 code units.
const std::vector<CorpusFile>& Corpus() {
    static const std::vector<CorpusFile> files = [] {
        std::vector<CorpusFile> loaded;
        for (const fs::path& root : gCorpusRoots) {
            std::error_code error;
            for (fs::recursive_directory_iterator it(root, error), end; !error && it != end; it.increment(error)) {
                const std::string ext = Lower(it->path().extension().string());
                if (ext != ".pas" && ext != ".dpr" && ext != ".dpk" && ext != ".pp" && ext != ".lpr") continue;
                loaded.push_back({it->path(), ReadLatin1(it->path())});
            }
        }
        return loaded;
    }();
    return files;
}

std::vector<std::u16string> CorpusTexts() {
    std::vector<std::u16string> texts;
    for (const CorpusFile& file : Corpus()) texts.push_back(file.Text);
    return texts;
}

// The interface of a corpus unit, its include files looked for beside it.
quorvel::TIdentifierSet ReadInterface(const CorpusFile& AFile) {
    const fs::path folder = AFile.Path.parent_path();
    const auto readInclude = [&](std::u16string_view AName) -> std::optional<std::u16string> {
        std::error_code error;
        const fs::path path = folder / fs::path(std::u16string(AName));
        if (fs::is_regular_file(path, error)) return ReadLatin1(path);
        fs::path withExtension = path;
        withExtension += ".inc";
        if (fs::is_regular_file(withExtension, error)) return ReadLatin1(withExtension);
        return std::nullopt;
    };
    return quorvel::F_InterfaceIdentifiers(AFile.Text, readInclude);
}

// The corpus's units by file name (the first of a name wins), as the
// command-line tool would index them.
class CorpusCatalog : public quorvel::TUnitCatalog {
public:
    CorpusCatalog() {
        for (const CorpusFile& file : Corpus()) {
            const std::string ext = Lower(file.Path.extension().string());
            if (ext != ".pas" && ext != ".pp") continue;
            const std::string stem = Lower(file.Path.stem().string());
            const std::u16string key(stem.begin(), stem.end());
            if (!FUnits.contains(key)) FUnits.emplace(key, ReadInterface(file));
        }
    }

    const quorvel::TIdentifierSet* F_FindUnit(std::u16string_view AUnitName) const override {
        std::u16string name(AUnitName);
        for (char16_t& c : name) c = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        const auto found = FUnits.find(name);
        return found == FUnits.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<std::u16string, quorvel::TIdentifierSet> FUnits;
};

void BM_DebianPascalSources(benchmark::State& AState) {
    static const std::vector<std::u16string> texts = CorpusTexts();
    if (texts.empty()) {
        AState.SkipWithError("no Pascal sources: install fpc-source-3.2.2 and lazarus-src-2.2");
        return;
    }
    AState.counters["files"] = static_cast<double>(texts.size());
    Run(AState, texts);
}

// The same with every name resolving as before, the corpus's units as catalog.
void BM_DebianPascalSourcesKeepingNames(benchmark::State& AState) {
    static const std::vector<std::u16string> texts = CorpusTexts();
    static const CorpusCatalog catalog;
    if (texts.empty()) {
        AState.SkipWithError("no Pascal sources: install fpc-source-3.2.2 and lazarus-src-2.2");
        return;
    }
    Run(AState, texts, &catalog);
}

// The same in groups (the Lazarus preset: most names meet a pattern, the
// others are also tried with a unit scope name).
void BM_DebianPascalSourcesGrouped(benchmark::State& AState) {
    static const std::vector<std::u16string> texts = CorpusTexts();
    static const CorpusCatalog catalog;
    if (texts.empty()) {
        AState.SkipWithError("no Pascal sources: install fpc-source-3.2.2 and lazarus-src-2.2");
        return;
    }
    quorvel::TFormatOptions options;
    options.UnitGroups = {u"lazarus"};
    Run(AState, texts, &catalog, options);
}

// Reading the interfaces of the corpus's units, as a catalog is built.
void BM_DebianUnitInterfaces(benchmark::State& AState) {
    std::size_t units = 0;
    for (auto _ : AState) {
        for (const CorpusFile& file : Corpus()) {
            benchmark::DoNotOptimize(ReadInterface(file));
            units += file.Text.size();
        }
    }
    AState.SetBytesProcessed(static_cast<std::int64_t>(units));
}

}  // namespace

BENCHMARK(BM_FiveMegabyteUnit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveMegabyteUnitAsBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HundredThousandNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DebianPascalSources)->Unit(benchmark::kMillisecond);
// Warmed up: the first run compares each pair of units once, as a batch run does.
BENCHMARK(BM_DebianPascalSourcesKeepingNames)->Unit(benchmark::kMillisecond)->MinWarmUpTime(1);
BENCHMARK(BM_DebianPascalSourcesGrouped)->Unit(benchmark::kMillisecond)->MinWarmUpTime(1);
BENCHMARK(BM_DebianUnitInterfaces)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--corpus=")) {
            gCorpusRoots.clear();
            std::string_view list = arg.substr(9);
            while (!list.empty()) {
                const std::size_t comma = list.find(',');
                gCorpusRoots.emplace_back(list.substr(0, comma));
                list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
            }
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
