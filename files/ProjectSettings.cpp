#include "ProjectSettings.h"

#include <algorithm>
#include <exception>
#include <system_error>

#include "AsciiCase.h"
#include "CompilerSources.h"
#include "FileError.h"
#include "PathText.h"
#include "TextFile.h"
#include "Utf8.h"
#include "XmlDocument.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace fs = std::filesystem;
namespace {

std::u16string Extension(const fs::path& APath) { return FoldAscii(PathDisplayText(APath.extension())); }

std::vector<std::u16string> SplitList(std::u16string_view AList, char16_t ASeparator) {
    std::vector<std::u16string> pieces;
    while (true) {
        const std::size_t at = AList.find(ASeparator);
        std::u16string_view piece = AList.substr(0, at);
        while (!piece.empty() && (piece.front() == u' ' || piece.front() == u'\t')) piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == u' ' || piece.back() == u'\t')) piece.remove_suffix(1);
        if (!piece.empty()) pieces.emplace_back(piece);
        if (at == std::u16string_view::npos) break;
        AList.remove_prefix(at + 1);
    }
    return pieces;
}

// A folder of a project file: relative ones from the project's folder; the
// other system's separators read as this one's. Nothing for a folder named
// through a macro still unknown ("$(BDS)\source").
std::optional<fs::path> ProjectFolder(const fs::path& AProjectFolder, std::u16string AText) {
    if (AText.find(u"$(") != std::u16string::npos) return std::nullopt;
#ifndef _WIN32
    std::replace(AText.begin(), AText.end(), u'\\', u'/');
#endif
    const fs::path folder(AText);
    return (folder.is_absolute() ? folder : AProjectFolder / folder).lexically_normal();
}

void AddFolders(std::vector<fs::path>& AFolders, const fs::path& AProjectFolder, std::u16string_view AList) {
    for (std::u16string& piece : SplitList(AList, u';')) {
        auto folder = ProjectFolder(AProjectFolder, std::move(piece));
        if (folder && std::find(AFolders.begin(), AFolders.end(), *folder) == AFolders.end())
            AFolders.push_back(std::move(*folder));
    }
}

// MSBuild's properties as a .dproj sets them, and the conditions on its
// groups: quoted values compared ignoring case, "and", "or", parentheses.
class MsBuildProperties {
public:
    std::u16string Get(std::u16string_view AName) const {
        const auto found = FValues.find(FoldAscii(AName));
        return found == FValues.end() ? std::u16string() : found->second;
    }
    void Set(std::u16string_view AName, std::u16string AValue) { FValues[FoldAscii(AName)] = std::move(AValue); }

    // "$(Name)" replaced by the property's value (empty when unset).
    std::u16string Expand(std::u16string_view AText) const {
        std::u16string text;
        for (std::size_t i = 0; i < AText.size(); ++i) {
            if (AText.substr(i, 2) == u"$(") {
                const std::size_t close = AText.find(u')', i);
                if (close != std::u16string_view::npos) {
                    text += Get(AText.substr(i + 2, close - i - 2));
                    i = close;
                    continue;
                }
            }
            text += AText[i];
        }
        return text;
    }

    // A property's value: "$(Name)" of a property set before replaced by its
    // value, of the property itself (not set yet) by nothing; others, set by
    // the IDE's environment ("$(BDS)"), kept as written.
    std::u16string ExpandValue(std::u16string_view AText, std::u16string_view AOwnName) const {
        std::u16string text;
        for (std::size_t i = 0; i < AText.size(); ++i) {
            const std::size_t close = AText.substr(i, 2) == u"$(" ? AText.find(u')', i) : std::u16string_view::npos;
            if (close == std::u16string_view::npos) {
                text += AText[i];
                continue;
            }
            const std::u16string_view name = AText.substr(i + 2, close - i - 2);
            const auto found = FValues.find(FoldAscii(name));
            if (found != FValues.end()) text += found->second;
            else if (!SameAsciiName(name, AOwnName)) text += AText.substr(i, close - i + 1);
            i = close;
        }
        return text;
    }

    // An empty condition holds; one that cannot be read counts as holding,
    // since counting a group too many only keeps more order.
    bool Holds(std::u16string_view ACondition) const {
        FText = ACondition;
        FPos = 0;
        try {
            const bool value = Or();
            Blanks();
            return FPos < FText.size() || value;
        } catch (const std::exception&) {
            return true;
        }
    }

private:
    std::unordered_map<std::u16string, std::u16string> FValues;
    mutable std::u16string_view FText;
    mutable std::size_t FPos = 0;

    void Blanks() const {
        while (FPos < FText.size() && (FText[FPos] == u' ' || FText[FPos] == u'\t' || FText[FPos] == u'\n' || FText[FPos] == u'\r')) ++FPos;
    }
    bool Word(std::u16string_view AWord) const {
        Blanks();
        if (FoldAscii(FText.substr(FPos, AWord.size())) != FoldAscii(AWord)) return false;
        FPos += AWord.size();
        return true;
    }
    bool Or() const {
        bool value = And();
        while (Word(u"or")) value = And() || value;
        return value;
    }
    bool And() const {
        bool value = Comparison();
        while (Word(u"and")) value = Comparison() && value;
        return value;
    }
    bool Comparison() const {
        Blanks();
        if (Word(u"(")) {
            const bool value = Or();
            if (!Word(u")")) throw std::runtime_error("\")\" expected");
            return value;
        }
        const std::u16string left = FoldAscii(Operand());
        if (Word(u"==")) return left == FoldAscii(Operand());
        if (Word(u"!=")) return left != FoldAscii(Operand());
        throw std::runtime_error("comparison expected");
    }
    std::u16string Operand() const {
        Blanks();
        if (FPos < FText.size() && FText[FPos] == u'\'') {
            const std::size_t close = FText.find(u'\'', FPos + 1);
            if (close == std::u16string_view::npos) throw std::runtime_error("unterminated quote");
            const std::u16string value = Expand(FText.substr(FPos + 1, close - FPos - 1));
            FPos = close + 1;
            return value;
        }
        const std::size_t start = FPos;
        while (FPos < FText.size() && FText[FPos] != u' ' && FText[FPos] != u')' && FText[FPos] != u'=' && FText[FPos] != u'!') ++FPos;
        if (FPos == start) throw std::runtime_error("operand expected");
        return Expand(FText.substr(start, FPos - start));
    }
};

// The groups in force for the project's default configuration and platform.
// A group may switch on a flag that an earlier group's condition tests (a
// configuration's group sets "Base"), so the file is read again from what
// the last reading set until the same groups hold; lists that name
// themselves ("lib;$(DCC_UnitSearchPath)") may then hold an entry twice.
MsBuildProperties EvaluateDelphiProject(const XmlElement& ARoot) {
    MsBuildProperties properties;
    std::vector<bool> held;
    for (int reading = 0; reading < 4; ++reading) {
        std::vector<bool> holds;
        MsBuildProperties next = properties;
        for (const XmlElement& group : ARoot.Children) {
            if (group.Name != u"PropertyGroup") continue;
            holds.push_back(next.Holds(group.Attribute(u"Condition").value_or(u"")));
            if (!holds.back()) continue;
            for (const XmlElement& property : group.Children) {
                if (!next.Holds(property.Attribute(u"Condition").value_or(u""))) continue;
                next.Set(property.Name, next.ExpandValue(property.Text, property.Name));
            }
        }
        properties = std::move(next);
        if (holds == held) break;
        held = std::move(holds);
    }
    return properties;
}

std::vector<std::u16string> UniqueNames(const std::vector<std::u16string>& ANames) {
    std::vector<std::u16string> unique;
    for (const std::u16string& name : ANames)
        if (name.find(u"$(") == std::u16string::npos && std::find(unique.begin(), unique.end(), name) == unique.end())
            unique.push_back(name);
    return unique;
}

ProjectSettings ReadDelphiProject(const XmlElement& ARoot, const fs::path& AFolder) {
    const MsBuildProperties properties = EvaluateDelphiProject(ARoot);
    ProjectSettings settings;
    AddFolders(settings.UnitFolders, AFolder, properties.Get(u"DCC_UnitSearchPath"));
    AddFolders(settings.IncludeFolders, AFolder, properties.Get(u"DCC_IncludePath"));
    if (const std::u16string scopes = properties.Get(u"DCC_Namespace"); !scopes.empty())
        settings.UnitScopeNames = UniqueNames(SplitList(scopes, u';'));
    settings.DelphiVersion = DelphiVersionOfProject(properties.Get(u"ProjectVersion")).value_or(u"");
    return settings;
}

ProjectSettings ReadLazarusProject(const XmlElement& ARoot, const fs::path& AFolder, bool APackage) {
    ProjectSettings settings;
    settings.FreePascal = true;
    const XmlElement* paths =
        APackage ? ARoot.Find({u"Package", u"CompilerOptions", u"SearchPaths"}) : ARoot.Find({u"CompilerOptions", u"SearchPaths"});
    if (!paths) return settings;
    // The project's own folder under its macros; other macros are left out.
    const auto value = [&](std::u16string_view AName) {
        std::u16string text = paths->Child(AName) ? paths->Child(AName)->Attribute(u"Value").value_or(u"") : u"";
        for (const std::u16string_view macro : {u"$(ProjPath)", u"$(PkgDir)"}) {
            for (std::size_t at; (at = text.find(macro)) != std::u16string::npos;)
                text.replace(at, macro.size(), PathDisplayText(AFolder));
        }
        return text;
    };
    AddFolders(settings.UnitFolders, AFolder, value(u"OtherUnitFiles"));
    AddFolders(settings.IncludeFolders, AFolder, value(u"IncludeFiles"));
    return settings;
}

// A package source names its units' files: `contains A in 'src\A.pas', ...`.
ProjectSettings ReadDelphiPackage(std::u16string_view AText, const fs::path& AFolder) {
    ProjectSettings settings;
    for (std::size_t at = 0; (at = AText.find(u'\'', at)) != std::u16string_view::npos;) {
        const std::size_t close = AText.find(u'\'', at + 1);
        if (close == std::u16string_view::npos) break;
        const std::u16string_view quoted = AText.substr(at + 1, close - at - 1);
        std::size_t before = at;
        while (before > 0 && (AText[before - 1] == u' ' || AText[before - 1] == u'\t')) --before;
        if (before >= 2 && FoldAscii(AText.substr(before - 2, 2)) == u"IN") {
            const std::u16string lower = FoldAscii(quoted);
            if (lower.ends_with(u".PAS") || lower.ends_with(u".PP"))
                if (auto file = ProjectFolder(AFolder, std::u16string(quoted))) settings.UnitFolders.push_back(file->parent_path());
        }
        at = close + 1;
    }
    return settings;
}

void AddUnique(std::vector<fs::path>& AList, const std::vector<fs::path>& AMore) {
    for (const fs::path& path : AMore)
        if (std::find(AList.begin(), AList.end(), path) == AList.end()) AList.push_back(path);
}

}  // namespace

void ProjectSettings::Merge(const ProjectSettings& AOther) {
    AddUnique(Files, AOther.Files);
    AddUnique(UnitFolders, AOther.UnitFolders);
    AddUnique(IncludeFolders, AOther.IncludeFolders);
    if (AOther.UnitScopeNames) {
        if (!UnitScopeNames) UnitScopeNames.emplace();
        for (const std::u16string& name : *AOther.UnitScopeNames)
            if (std::find(UnitScopeNames->begin(), UnitScopeNames->end(), name) == UnitScopeNames->end())
                UnitScopeNames->push_back(name);
    }
    if (DelphiVersion.empty()) DelphiVersion = AOther.DelphiVersion;
    FreePascal = FreePascal || AOther.FreePascal;
    if (Error.empty()) Error = AOther.Error;
}

bool IsProjectFile(const fs::path& APath) {
    const std::u16string extension = Extension(APath);
    return extension == u".DPROJ" || extension == u".DPK" || extension == u".LPI" || extension == u".LPK";
}

ProjectSettings ReadProjectFile(const fs::path& AFile) {
    const std::u16string text = ReadTextFile(AFile);
    const std::u16string extension = Extension(AFile);
    const fs::path folder = AFile.parent_path();
    ProjectSettings settings;
    try {
        if (extension == u".DPK") settings = ReadDelphiPackage(text, folder);
        else if (extension == u".DPROJ") settings = ReadDelphiProject(ParseXml(text), folder);
        else settings = ReadLazarusProject(ParseXml(text), folder, extension == u".LPK");
    } catch (const std::runtime_error& error) {
        throw MakeFileError("Cannot read project file", AFile, error.what());
    }
    settings.Files = {AFile};
    return settings;
}

std::shared_ptr<const ProjectSettings> ProjectSettingsIn(const fs::path& AFolder) {
    std::vector<fs::path> projectFiles;
    try {
        for (const platform::FolderEntry& entry : platform::ReadFolder(AFolder))
            if (!entry.IsFolder && IsProjectFile(fs::path(entry.Name))) projectFiles.push_back(AFolder / entry.Name);
    } catch (const std::system_error&) {
    }
    if (projectFiles.empty()) return nullptr;
    std::sort(projectFiles.begin(), projectFiles.end());
    auto settings = std::make_shared<ProjectSettings>();
    for (const fs::path& file : projectFiles) {
        try {
            settings->Merge(ReadProjectFile(file));
        } catch (const FileError& readError) {
            settings->Files.push_back(file);
            if (settings->Error.empty()) settings->Error = readError.what();
        }
    }
    return settings;
}

}  // namespace quorvel::files
