#pragma once
// Random Object Pascal sources for the property tests: units and programs
// whose clauses mix names, paths, every comment form, directives, odd
// spacing, all three line breaks and, now and then, code that is no clause.

#include <random>
#include <string>
#include <string_view>

namespace quorvel::test {

class PascalTextGenerator {
public:
    explicit PascalTextGenerator(unsigned ASeed) : FRandom(ASeed) {}

    std::u16string Next();

private:
    std::mt19937 FRandom;
    std::u16string FBreak;  // this text's line break; sometimes changes midway

    bool Chance(int APercent);
    template <std::size_t N> std::u16string_view Pick(const std::u16string_view (&AChoices)[N]);

    std::u16string Blank();
    std::u16string Comment();
    std::u16string Element();
    std::u16string Clause();
    std::u16string AfterClause();
    std::u16string CodeLine();
};

}  // namespace quorvel::test
