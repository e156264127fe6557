// Properties of the ordering rules over generated texts: with a catalog made
// up from each text, everything FormatInvariants.h checks holds (every used
// name still comes from the same unit); and where no used name is declared
// twice, the result is exactly the one without the name rule.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "DerivedUnitCatalog.h"
#include "FakeUnitCatalog.h"
#include "FormatInvariants.h"
#include "FormatTestSupport.h"
#include "PascalTextGenerator.h"
#include "QuorvelCore.h"

namespace quorvel::test {
namespace {

TEST(OrderingProperties, GeneratedSourcesKeepEveryNameResolving) {
    constexpr int kTexts = 3000;
    PascalTextGenerator generator(20261210);
    int kept = 0;
    for (int i = 0; i < kTexts; ++i) {
        const std::u16string text = generator.Next();
        const DerivedUnitCatalog catalog(text);
        TQuorvel formatter;
        formatter.SetUnitCatalog(&catalog);
        formatter.SetVerticalList(i % 2 == 0);
        bool keptHere = false;
        formatter.SetOnClauseNote([&](const TClauseNote& ANoteSeen) { const std::u16string AMsg = F_ClauseNoteLine(ANoteSeen); keptHere |= AMsg.starts_with(u"  [KEEP]"); });
        ASSERT_EQ("", CheckFormatting(formatter, text)) << "input: " << Show(text);
        kept += keptHere ? 1 : 0;
    }
    // Guards the made-up catalogs: many texts must have an order kept for a name.
    EXPECT_GT(kept, kTexts / 10);
}

// Clauses of a few units in random order that use random identifiers; each
// unit declares identifiers of its own, and shares some that no text uses.
class ClauseWorld {
public:
    explicit ClauseWorld(unsigned ASeed) : FRandom(ASeed) {}

    std::u16string NextText() {
        std::vector<std::u16string> units = {u"Alpha", u"beta", u"Gamma", u"System.Delta", u"Epsilon",
                                             u"FastMM4", u"madExcept", u"zeta", u"Eta", u"Vcl.Theta"};
        std::shuffle(units.begin(), units.end(), FRandom);
        units.resize(std::uniform_int_distribution<std::size_t>(1, units.size())(FRandom));
        std::u16string text = u"program P;\nuses ";
        for (std::size_t i = 0; i < units.size(); ++i) text += (i > 0 ? u", " : u"") + units[i];
        text += u";\nbegin\n";
        for (int i = std::uniform_int_distribution<int>(0, 6)(FRandom); i > 0; --i) {
            text += u"  Own" + std::u16string(1, static_cast<char16_t>(u'A' + Digit())) + u";\n";
        }
        return text + u"end.\n";
    }

    // Unit k declares OwnX for letters X picked for it, and Unused.
    FakeUnitCatalog Catalog() {
        std::u16string catalogText;
        for (const char16_t* unit : {u"Alpha", u"beta", u"Gamma", u"System.Delta", u"Epsilon", u"FastMM4",
                                     u"madExcept", u"zeta", u"Eta", u"Vcl.Theta"}) {
            catalogText += std::u16string(unit) + u"=Unused";
            if (Digit() < 5) catalogText += u" Own" + std::u16string(1, static_cast<char16_t>(u'A' + FNextOwn++ % 10));
            catalogText += u"|";
        }
        return FakeUnitCatalog(catalogText);
    }

private:
    std::mt19937 FRandom;
    int FNextOwn = 0;

    int Digit() { return std::uniform_int_distribution<int>(0, 9)(FRandom); }
};

TEST(OrderingProperties, WithoutSharedUsedNamesTheOrderIsPlain) {
    ClauseWorld world(7);
    for (int i = 0; i < 1000; ++i) {
        const FakeUnitCatalog catalog = world.Catalog();
        const std::u16string text = world.NextText();
        TQuorvel withNames;
        withNames.SetUnitCatalog(&catalog);
        TQuorvel withoutNames(TFormatOptions{.KeepNameResolution = false});
        ASSERT_EQ(Show(withoutNames.F_FormatSource(text)), Show(withNames.F_FormatSource(text))) << Show(text);
    }
}

}  // namespace
}  // namespace quorvel::test
