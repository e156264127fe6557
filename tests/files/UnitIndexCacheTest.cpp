// The catalog's cache between runs: a second catalog over the same units path
// takes its listing and what it read from the cache, and anything changed
// since on disk is read again.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>

#include "TestFolder.h"
#include "UnitCatalog.h"
#include "UnitIndexCache.h"
#include "platform/Platform.h"

namespace quorvel::files {
namespace {

namespace fs = std::filesystem;
using test::TestFolder;
using test::UnitText;

class UnitIndexCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder.Write("lib/rtl/Alpha.pas", UnitText("Alpha", "{$I alpha.inc}\nprocedure First;"));
        FFolder.Write("lib/inc/alpha.inc", "procedure FromInclude;\n");
        FFolder.Write("lib/deep/er/Beta.pas", UnitText("Beta", "procedure Second;"));
    }

    // What a catalog over the library finds for AUnit: its identifiers, or "none".
    std::string Find(std::u16string_view AUnit) const {
        const FileUnitCatalog catalog(UnitSearchFolders{{}, {FFolder / "lib"}, {}, FFolder / "cache"});
        const TIdentifierSet* found = catalog.F_FindUnit(AUnit);
        if (found == nullptr) return "none";
        std::vector<std::string> names;
        for (const std::u16string& name : *found) names.emplace_back(name.begin(), name.end());
        std::sort(names.begin(), names.end());
        std::string shown;
        for (const std::string& name : names) shown += name + " ";
        return shown;
    }

    std::vector<fs::path> CacheFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(FFolder / "cache")) files.push_back(entry.path());
        return files;
    }

    TestFolder FFolder;
};

// Each change is made after a first catalog filled the cache, and the second must see it.
TEST_F(UnitIndexCacheTest, AnythingChangedOnDiskIsReadAgain) {
    struct Case {
        const char* Name;
        std::u16string Unit;
        std::function<void(const TestFolder&)> Change;
        std::string Expected;
    };
    const auto later = [](const fs::path& AFile) {
        fs::last_write_time(AFile, fs::last_write_time(AFile) + std::chrono::seconds(5));
    };
    const Case cases[] = {
        {"SourceEdited", u"Alpha",
         [](const TestFolder& AFolder) { AFolder.Write("lib/rtl/Alpha.pas", UnitText("Alpha", "procedure Edited;")); },
         "EDITED "},
        {"SameSizeNewTime", u"Beta",
         [&](const TestFolder& AFolder) {
             later(AFolder.Write("lib/deep/er/Beta.pas", UnitText("Beta", "procedure Sicond;")));
         },
         "SICOND "},
        {"IncludeEdited", u"Alpha",
         [](const TestFolder& AFolder) { AFolder.Write("lib/inc/alpha.inc", "procedure IncludeEdited;\n"); },
         "FIRST INCLUDEEDITED "},
        {"IncludeNowBesideTheUnit", u"Alpha",
         [](const TestFolder& AFolder) { AFolder.Write("lib/rtl/alpha.inc", "procedure Beside;\n"); },
         "BESIDE FIRST "},
        {"UnitAddedDeepDown", u"Gamma",
         [](const TestFolder& AFolder) {
             AFolder.Write("lib/deep/er/still/Gamma.pas", UnitText("Gamma", "procedure Third;"));
         },
         "THIRD "},
        {"UnitRemoved", u"Beta",
         [](const TestFolder& AFolder) { fs::remove(AFolder / "lib/deep/er/Beta.pas"); }, "none"},
        {"CacheDamaged", u"Alpha",
         [this](const TestFolder&) {
             for (const fs::path& file : CacheFiles()) fs::resize_file(file, fs::file_size(file) / 2);
         },
         "FIRST FROMINCLUDE "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove_all(FFolder.Path());
        SetUp();
        Find(c.Unit);
        c.Change(FFolder);
        EXPECT_EQ(Find(c.Unit), c.Expected);
        EXPECT_EQ(Find(c.Unit), c.Expected) << "and again, from the cache the second run wrote";
    }
}

// What units bring in is read from the cache without the unit's identifiers:
// it must say what a fresh read says, and see a change as the whole read does.
TEST_F(UnitIndexCacheTest, LinksAloneComeFromTheCacheUntilTheSourceChanges) {
    const auto links = [this] {
        const FileUnitCatalog catalog(UnitSearchFolders{{}, {FFolder / "lib"}, {}, FFolder / "cache"});
        const TUnitLinks* found = catalog.F_FindUnitLinks(u"Gamma");
        if (found == nullptr) return std::string("none");
        std::string shown;
        for (const std::u16string& used : found->Uses) shown += std::string(used.begin(), used.end()) + " ";
        return shown + (found->InitCode ? "+init" : "-init");
    };
    const std::string withInit =
        "unit Gamma;\ninterface\nuses beta, Alpha;\nimplementation\nuses Delta;\ninitialization\n  Setup;\nend.\n";
    FFolder.Write("lib/rtl/Gamma.pas", withInit);
    EXPECT_EQ(links(), "Alpha beta Delta +init");
    EXPECT_EQ(links(), "Alpha beta Delta +init") << "from the cache";
    FFolder.Write("lib/rtl/Gamma.pas", UnitText("Gamma", "uses Beta;"));
    EXPECT_EQ(links(), "Beta -init");
    EXPECT_EQ(links(), "Beta -init") << "from the cache";
}

// A cache file as another build of a program left it: the key's start (the
// program's path, size and time), the rest of the file passed over.
void WriteCacheOf(const fs::path& AFile, const fs::path& AProgram, std::uint64_t ASize) {
    std::string bytes = "QUORVEL-UNIT-INDEX 2\n";
    const auto number = [&bytes](std::uint64_t AValue) { bytes.append(reinterpret_cast<const char*>(&AValue), 8); };
    const fs::path::string_type& path = AProgram.native();
    number(8 + path.size() * sizeof(path[0]) + 16);
    number(path.size());
    bytes.append(reinterpret_cast<const char*>(path.data()), path.size() * sizeof(path[0]));
    number(ASize);
    number(12345);
    std::ofstream(AFile, std::ios::binary) << bytes;
}

// A new build's first cache removes those the program's earlier builds at
// the same place wrote, and nothing else.
TEST_F(UnitIndexCacheTest, TheFilesOfEarlierBuildsGo) {
    const fs::path cache = FFolder / "cache";
    fs::create_directories(cache);
    const fs::path program = platform::RunningProgramFile();
    WriteCacheOf(cache / "units-00000000000000a1.idx", program, fs::file_size(program) + 1);
    WriteCacheOf(cache / "units-00000000000000a2.idx", program.parent_path() / "other-program", 1);
    FFolder.Write("cache/units-notes.txt", "not a cache file");
    FFolder.Write("cache/units-00000000000000a3.idx", "not a cache file either");
    EXPECT_EQ(Find(u"Beta"), "SECOND ");
    EXPECT_FALSE(fs::exists(cache / "units-00000000000000a1.idx"));
    for (const char* kept : {"units-00000000000000a2.idx", "units-notes.txt", "units-00000000000000a3.idx"})
        EXPECT_TRUE(fs::exists(cache / kept)) << kept;
    EXPECT_EQ(CacheFiles().size(), 4u) << "the new build's own file beside them";
}

TEST_F(UnitIndexCacheTest, ASecondCatalogTakesTheListingFromTheCache) {
    EXPECT_EQ(Find(u"Beta"), "SECOND ");
    ASSERT_EQ(CacheFiles().size(), 1u);
    // A unit added with its folder's time set back, so that nothing shows the change.
    const fs::path folder = FFolder / "lib/deep/er";
    const fs::file_time_type time = fs::last_write_time(folder);
    FFolder.Write("lib/deep/er/Hidden.pas", UnitText("Hidden", "procedure Unseen;"));
    std::error_code error;
    fs::last_write_time(folder, time, error);
    if (error) GTEST_SKIP() << "a folder's time cannot be set here: " << error.message();
    EXPECT_EQ(Find(u"Hidden"), "none");
}

TEST_F(UnitIndexCacheTest, ACacheThatCannotBeWrittenCostsNothingButTime) {
    FFolder.Write("cache", "a file where the cache folder would be");
    EXPECT_EQ(Find(u"Alpha"), "FIRST FROMINCLUDE ");
    EXPECT_EQ(Find(u"Alpha"), "FIRST FROMINCLUDE ");
}

TEST_F(UnitIndexCacheTest, EachUnitsPathHasItsOwnCacheFile) {
    Find(u"Alpha");
    {
        const FileUnitCatalog other(UnitSearchFolders{{}, {FFolder / "lib/rtl"}, {}, FFolder / "cache"});
        EXPECT_NE(other.F_FindUnit(u"Alpha"), nullptr);
        EXPECT_EQ(other.F_FindUnit(u"Beta"), nullptr);
    }
    EXPECT_EQ(CacheFiles().size(), 2u);
    EXPECT_EQ(Find(u"Beta"), "SECOND ");
}

}  // namespace
}  // namespace quorvel::files
