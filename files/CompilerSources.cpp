#include "CompilerSources.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "AsciiCase.h"
#include "PathText.h"
#include "TextFile.h"
#include "XmlDocument.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

// A version as numbers ("23.0" -> {23, 0}; "2.2.6" -> {2, 2, 6}); text that is no
// number counts as nothing, so any name sorts somewhere.
std::vector<long> VersionNumbers(std::u16string_view AText) {
    std::vector<long> numbers{0};
    for (char16_t c : AText) {
        if (c >= u'0' && c <= u'9') numbers.back() = numbers.back() * 10 + (c - u'0');
        else if (c == u'.' || c == u'-' || c == u'_') numbers.push_back(0);
        else break;
    }
    return numbers;
}

bool NewerVersion(std::u16string_view ALeft, std::u16string_view ARight) {
    return VersionNumbers(ARight) < VersionNumbers(ALeft);
}

std::u16string Text(const fs::path& APath) { return PathDisplayText(APath); }

// The subfolders of AFolder, newest version first.
std::vector<fs::path> VersionFolders(const fs::path& AFolder) {
    std::vector<fs::path> folders;
    try {
        for (const platform::FolderEntry& entry : platform::ReadFolder(AFolder))
            if (entry.IsFolder) folders.push_back(AFolder / entry.Name);
    } catch (const std::system_error&) {
    }
    std::sort(folders.begin(), folders.end(), [](const fs::path& ALeft, const fs::path& ARight) {
        return NewerVersion(Text(ALeft.filename()), Text(ARight.filename()));
    });
    return folders;
}

// The vendors' keys, newest products first, each holding one subkey per version.
struct DelphiKey {
    std::u16string_view Key;
    bool Bds;  // versions are the BDS ones ("23.0"), else Delphi's own ("7.0")
};
constexpr DelphiKey kDelphiKeys[] = {
    {u"Software\\Embarcadero\\BDS", true},
    {u"Software\\CodeGear\\BDS", true},
    {u"Software\\Borland\\BDS", true},
    {u"Software\\Borland\\Delphi", false},
};

std::vector<CompilerSourceTree> FindDelphi(const InstallPlaces& APlaces) {
    std::vector<CompilerSourceTree> trees;
    if (!APlaces.RegistrySubkeys || !APlaces.RegistryString) return trees;
    std::vector<std::u16string> seenVersions;
    for (const DelphiKey& vendor : kDelphiKeys) {
        std::vector<std::u16string> versions = APlaces.RegistrySubkeys(vendor.Key);
        std::sort(versions.begin(), versions.end(), NewerVersion);
        for (const std::u16string& version : versions) {
            const std::u16string key = std::u16string(vendor.Key) + u"\\" + version;
            const std::optional<std::u16string> root = APlaces.RegistryString(key, u"RootDir");
            if (!root || root->empty()) continue;
            fs::path source = fs::path(*root) / "source";
            if (!IsExistingFolder(source)) source = fs::path(*root) / "Source";
            if (!IsExistingFolder(source)) continue;
            const std::u16string bdsVersion = vendor.Bds ? version : u"";
            if (vendor.Bds && std::find(seenVersions.begin(), seenVersions.end(), version) != seenVersions.end()) continue;
            seenVersions.push_back(version);
            const std::u16string name = vendor.Bds ? DelphiProductName(version)
                                                   : u"Delphi " + std::u16string(version.substr(0, version.find(u'.')));
            trees.push_back({name + u" sources", source, true, bdsVersion});
        }
    }
    return trees;
}

// The value of an environment option, with Lazarus's macros for its own
// folder and the compiler's version put in (the newest version folder that exists).
std::optional<fs::path> LazarusOption(const XmlElement& ARoot, std::u16string_view AName,
                                      const std::optional<fs::path>& ALazarusDir) {
    const XmlElement* option = ARoot.Find({u"EnvironmentOptions", AName});
    if (!option) return std::nullopt;
    std::u16string value = option->Attribute(u"Value").value_or(u"");
    if (value.empty()) return std::nullopt;
    static constexpr std::u16string_view kLazarusDir = u"$(LazarusDir)";
    if (const auto at = value.find(kLazarusDir); at != std::u16string::npos) {
        if (!ALazarusDir) return std::nullopt;
        std::u16string dir = Text(*ALazarusDir);
        if (!dir.empty() && dir.back() != u'/' && dir.back() != u'\\') dir += u'/';
        value.replace(at, kLazarusDir.size(), dir);
    }
    static constexpr std::u16string_view kFpcVersion = u"$(FPCVer)";
    if (const auto at = value.find(kFpcVersion); at != std::u16string::npos) {
        const fs::path above = fs::path(value.substr(0, at)).parent_path();
        const std::u16string below = value.substr(at + kFpcVersion.size());
        for (const fs::path& version : VersionFolders(above)) {
            const fs::path candidate = fs::path(Text(version) + below).make_preferred();
            if (IsExistingFolder(candidate)) return candidate;
        }
        return std::nullopt;
    }
    if (value.find(u"$(") != std::u16string::npos) return std::nullopt;  // a macro not known here
    return fs::path(value).make_preferred();
}

struct LazarusSettings {
    std::vector<CompilerSourceTree> Trees;
    std::optional<fs::path> Compiler;  // its folder holds the fpc.cfg it reads
};

LazarusSettings FindLazarusSettings(const InstallPlaces& APlaces) {
    LazarusSettings found;
    for (const fs::path& folder : APlaces.LazarusSettingsFolders) {
        const std::optional<std::u16string> text = TryReadTextFile(folder / "environmentoptions.xml");
        if (!text) continue;
        try {
            const XmlElement root = ParseXml(*text);
            const std::optional<fs::path> lazarus = LazarusOption(root, u"LazarusDirectory", std::nullopt);
            if (lazarus && IsExistingFolder(*lazarus)) found.Trees.push_back({u"Lazarus sources", *lazarus});
            const std::optional<fs::path> fpc = LazarusOption(root, u"FPCSourceDirectory", lazarus);
            if (fpc && IsExistingFolder(*fpc)) found.Trees.push_back({u"Free Pascal sources", *fpc});
            if (!found.Compiler) found.Compiler = LazarusOption(root, u"CompilerFilename", lazarus);
        } catch (const std::exception&) {
            // Settings that cannot be read add nothing; the other places still count.
        }
        if (!found.Trees.empty()) break;  // the first settings found are the ones Lazarus uses
    }
    return found;
}

// "$fpcsubarch-$fpcmemorymodel" -> "*-*", folded.
std::u16string MacrosAsWildcards(std::u16string_view AName) {
    std::u16string pattern;
    for (std::size_t i = 0; i < AName.size(); ++i) {
        if (AName[i] != u'$') {
            pattern += FoldAscii(AName[i]);
            continue;
        }
        pattern += u'*';
        while (i + 1 < AName.size() && ((AName[i + 1] >= u'a' && AName[i + 1] <= u'z') ||
                                        (AName[i + 1] >= u'A' && AName[i + 1] <= u'Z') || AName[i + 1] == u'_'))
            ++i;
    }
    return pattern;
}

// "*" stands for any text, an empty one too.
bool WildcardMatch(std::u16string_view APattern, std::u16string_view AText) {
    if (APattern.empty()) return AText.empty();
    if (APattern.front() == u'*') {
        for (std::size_t skip = 0; skip <= AText.size(); ++skip)
            if (WildcardMatch(APattern.substr(1), AText.substr(skip))) return true;
        return false;
    }
    return !AText.empty() && APattern.front() == AText.front() && WildcardMatch(APattern.substr(1), AText.substr(1));
}

// A path of fpc.cfg with its macros: each $fpc... variable stands for any
// name at its place, so every matching folder counts; "~" is the home folder.
std::vector<fs::path> ExpandConfigPath(std::u16string_view APath, const std::optional<fs::path>& AHome) {
    std::u16string path(APath);
    if (path.starts_with(u"~")) {
        if (!AHome) return {};
        path = Text(*AHome) + path.substr(1);
    }
    std::vector<fs::path> found{fs::path(path).root_path()};
    for (const fs::path& part : fs::path(path).relative_path()) {
        const std::u16string name = Text(part);
        std::vector<fs::path> next;
        for (const fs::path& folder : found) {
            if (name.find(u'$') == std::u16string::npos) {
                next.push_back(folder / part);
                continue;
            }
            const std::u16string pattern = MacrosAsWildcards(name);
            for (const fs::path& entry : VersionFolders(folder)) {
                const bool matches = WildcardMatch(pattern, FoldAscii(Text(entry.filename())));
                if (matches) next.push_back(entry);
            }
        }
        found = std::move(next);
        if (found.empty()) break;
    }
    return found;
}

// The unit folders an fpc.cfg names (-Fu), every conditional branch counted;
// "#INCLUDE" files are followed once.
bool IsPascalSource(const fs::path& AName) {
    const std::u16string extension = FoldAscii(Text(AName.extension()));
    return extension == u".PAS" || extension == u".PP" || extension == u".INC";
}

// Search path folders mostly hold compiled units only; those add nothing.
bool HoldsPascalSources(const fs::path& AFolder, bool ASubfolders) {
    try {
        for (const platform::FolderEntry& entry : platform::ReadFolder(AFolder)) {
            if (entry.IsFolder ? ASubfolders && HoldsPascalSources(AFolder / entry.Name, false)
                               : IsPascalSource(fs::path(entry.Name)))
                return true;
        }
    } catch (const std::system_error&) {
    }
    return false;
}

// A folder ending in "/*" stands for its subfolders.
void ReadFpcConfig(const fs::path& AFile, const std::optional<fs::path>& AHome, std::vector<CompilerSourceTree>& AFolders,
                   int ADepth = 0) {
    const std::optional<std::u16string> text = TryReadTextFile(AFile);
    if (!text || ADepth > 4) return;
    std::u16string_view rest = *text;
    while (!rest.empty()) {
        const std::size_t end = rest.find(u'\n');
        std::u16string_view line = rest.substr(0, end);
        rest = end == std::u16string_view::npos ? std::u16string_view() : rest.substr(end + 1);
        while (!line.empty() && (line.front() == u' ' || line.front() == u'\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == u'\r' || line.back() == u' ' || line.back() == u'\t')) line.remove_suffix(1);
        if (line.starts_with(u"-Fu")) {
            std::u16string_view path = line.substr(3);
            const bool subfolders = path.ends_with(u"/*") || path.ends_with(u"\\*");
            if (subfolders) path.remove_suffix(2);
            for (const fs::path& folder : ExpandConfigPath(path, AHome))
                if (HoldsPascalSources(folder, subfolders)) AFolders.push_back({u"fpc.cfg unit folders", folder, subfolders});
        } else if (FoldAscii(line.substr(0, 8)) == u"#INCLUDE") {
            std::u16string_view name = line.substr(8);
            while (!name.empty() && name.front() == u' ') name.remove_prefix(1);
            for (const fs::path& file : ExpandConfigPath(name, AHome)) ReadFpcConfig(file, AHome, AFolders, ADepth + 1);
        }
    }
}

// A folder below (or equal to) one already searched with its subfolders adds nothing.
bool Covered(const std::vector<CompilerSourceTree>& ATrees, const fs::path& AFolder) {
    const auto folder = platform::PathIdentity(AFolder);
    for (const CompilerSourceTree& tree : ATrees) {
        const auto root = platform::PathIdentity(tree.Folder);
        if (folder == root) return true;
        if (tree.WithSubfolders && folder.size() > root.size() && folder.compare(0, root.size(), root) == 0 &&
            (folder[root.size()] == '/' || folder[root.size()] == fs::path::preferred_separator))
            return true;
    }
    return false;
}

void AddTree(std::vector<CompilerSourceTree>& ATrees, CompilerSourceTree ATree) {
    if (!Covered(ATrees, ATree.Folder)) ATrees.push_back(std::move(ATree));
}

}  // namespace

std::u16string DelphiProductName(std::u16string_view AVersion) {
    static constexpr std::pair<std::u16string_view, std::u16string_view> kNames[] = {
        {u"3.0", u"Delphi 2005"},        {u"4.0", u"Delphi 2006"},       {u"5.0", u"Delphi 2007"},
        {u"6.0", u"Delphi 2009"},        {u"7.0", u"Delphi 2010"},       {u"8.0", u"Delphi XE"},
        {u"9.0", u"Delphi XE2"},         {u"10.0", u"Delphi XE3"},       {u"11.0", u"Delphi XE4"},
        {u"12.0", u"Delphi XE5"},        {u"14.0", u"Delphi XE6"},       {u"15.0", u"Delphi XE7"},
        {u"16.0", u"Delphi XE8"},        {u"17.0", u"Delphi 10 Seattle"}, {u"18.0", u"Delphi 10.1 Berlin"},
        {u"19.0", u"Delphi 10.2 Tokyo"}, {u"20.0", u"Delphi 10.3 Rio"},  {u"21.0", u"Delphi 10.4 Sydney"},
        {u"22.0", u"Delphi 11"},         {u"23.0", u"Delphi 12"},
    };
    for (const auto& [version, name] : kNames)
        if (version == AVersion) return std::u16string(name);
    return u"BDS " + std::u16string(AVersion);
}

std::optional<std::u16string> DelphiVersionOfProject(std::u16string_view AProjectVersion) {
    // <ProjectVersion> as each product writes it, as tenths: 19.5 -> 195.
    struct Range {
        long From, To;
        std::u16string_view Version;
    };
    static constexpr Range kRanges[] = {
        {122, 123, u"8.0"},   {130, 134, u"9.0"},   {140, 144, u"10.0"},  {145, 146, u"11.0"},
        {150, 153, u"12.0"},  {154, 155, u"14.0"},  {160, 161, u"15.0"},  {170, 172, u"16.0"},
        {180, 181, u"17.0"},  {182, 182, u"18.0"},  {183, 184, u"19.0"},  {185, 188, u"20.0"},
        {190, 192, u"21.0"},  {193, 195, u"22.0"},  {200, 203, u"23.0"},
    };
    const std::vector<long> numbers = VersionNumbers(AProjectVersion);
    if (numbers.size() < 2 || numbers[1] > 9) return std::nullopt;
    const long tenths = numbers[0] * 10 + numbers[1];
    for (const Range& range : kRanges)
        if (tenths >= range.From && tenths <= range.To) return std::u16string(range.Version);
    return std::nullopt;
}

std::vector<CompilerSourceTree> InstalledCompilers::TreesFor(std::u16string_view ADelphiVersion) const {
    std::vector<CompilerSourceTree> trees;
    if (!Delphi.empty()) {
        const auto named = std::find_if(Delphi.begin(), Delphi.end(), [&](const CompilerSourceTree& ATree) {
            return !ADelphiVersion.empty() && ATree.DelphiVersion == ADelphiVersion;
        });
        trees.push_back(named != Delphi.end() ? *named : Delphi.front());
    }
    trees.insert(trees.end(), Others.begin(), Others.end());
    return trees;
}

InstalledCompilers FindInstalledCompilers(const InstallPlaces& APlaces) {
    InstalledCompilers found;
    found.Delphi = FindDelphi(APlaces);

    LazarusSettings lazarus = FindLazarusSettings(APlaces);
    for (CompilerSourceTree& tree : lazarus.Trees) AddTree(found.Others, std::move(tree));
    for (const fs::path& root : APlaces.FpcSourceRoots) {
        const std::vector<fs::path> versions = VersionFolders(root);
        if (!versions.empty())
            AddTree(found.Others, {u"Free Pascal " + Text(versions.front().filename()) + u" sources", versions.front()});
    }
    for (const fs::path& root : APlaces.LazarusRoots) {
        const std::vector<fs::path> versions = VersionFolders(root);
        if (!versions.empty())
            AddTree(found.Others, {u"Lazarus " + Text(versions.front().filename()) + u" sources", versions.front()});
    }
    std::vector<fs::path> configFiles = APlaces.FpcConfigFiles;
    if (lazarus.Compiler) configFiles.insert(configFiles.begin(), lazarus.Compiler->parent_path() / "fpc.cfg");
    for (const fs::path& file : configFiles) {
        if (!IsExistingFile(file)) continue;
        std::vector<CompilerSourceTree> folders;
        ReadFpcConfig(file, APlaces.Home, folders);
        for (CompilerSourceTree& folder : folders) AddTree(found.Others, std::move(folder));
        break;  // the compiler reads the first it finds
    }
    return found;
}

InstallPlaces SystemInstallPlaces() {
    InstallPlaces places;
    places.RegistrySubkeys = platform::UserRegistrySubkeys;
    places.RegistryString = platform::UserRegistryString;
    const std::optional<fs::path> testRoot = platform::EnvironmentFolder("QUORVEL_SYSTEM_ROOT");
#ifdef _WIN32
    const std::optional<fs::path> local =
        testRoot ? std::optional<fs::path>(*testRoot / "LocalAppData") : platform::EnvironmentFolder("LOCALAPPDATA");
    if (local) places.LazarusSettingsFolders.push_back(*local / "lazarus");
    places.Home = testRoot ? std::optional<fs::path>(*testRoot / "home") : platform::EnvironmentFolder("USERPROFILE");
#else
    const fs::path root = testRoot.value_or("/");
    places.Home = testRoot ? std::optional<fs::path>(root / "home") : platform::EnvironmentFolder("HOME");
    if (places.Home) {
        places.LazarusSettingsFolders.push_back(*places.Home / ".lazarus");
        places.FpcConfigFiles.push_back(*places.Home / ".fpc.cfg");
    }
    places.LazarusSettingsFolders.push_back(root / "etc/lazarus");
    places.FpcConfigFiles.push_back(root / "etc/fpc.cfg");
    places.FpcSourceRoots.push_back(root / "usr/share/fpcsrc");
    places.LazarusRoots.push_back(root / "usr/lib/lazarus");
    places.LazarusRoots.push_back(root / "usr/share/lazarus");
#endif
    return places;
}

const InstalledCompilers& ThisComputersCompilers() {
    static const InstalledCompilers compilers = FindInstalledCompilers(SystemInstallPlaces());
    return compilers;
}

}  // namespace quorvel::files
