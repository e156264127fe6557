// The block scans of CodeUnitSearch against plain loops over the same text. A
// block is eight UTF-16 units or sixteen bytes counted from the start of the
// search, so the rows put what is searched for on both sides of those edges,
// in the tail after the last full block, and in texts shorter than a block.
// Every row runs in both widths, once among '.' and once among code units
// above 0x7F whose low byte or low seven bits look like what is searched for.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "CodeUnitSearch.h"
#include "TestText.h"

namespace quorvel::test {
namespace {

constexpr std::size_t kEnd = std::u16string_view::npos;

struct SearchCase {
    const char* Name;
    std::size_t Before;      // filler units before Piece
    std::string_view Piece;  // ASCII; '.' stands for a filler unit
    std::size_t After;       // filler units after Piece
    std::size_t From = 0;
    std::size_t To = kEnd;  // kEnd: the end of the text
};

void PrintTo(const SearchCase& ACase, std::ostream* AOut) { *AOut << ACase.Name; }

// UTF-16 units whose low byte is `{`, `/`, `(`, `u`, CR or `q`, and bytes that
// are those with the top bit set: a scan comparing too few bits stops on them.
constexpr std::array<char16_t, 6> kWideFiller = {u'\u017B', u'\u2F2F', u'\u2A28', u'\u0175', u'\u0D0A', u'\u0171'};
constexpr std::array<unsigned char, 8> kByteFiller = {0xFB, 0xAF, 0xA8, 0xF5, 0xD5, 0xA7, 0x8D, 0xF1};

template <typename CharT>
CharT FillerAt(std::size_t APos, bool AHigh) {
    if (!AHigh) return CharT('.');
    if constexpr (sizeof(CharT) == 2) return kWideFiller[APos % kWideFiller.size()];
    else return static_cast<CharT>(kByteFiller[APos % kByteFiller.size()]);
}

// The text in a buffer of its own size with nothing after it, so that a scan
// reading past the end is an error under AddressSanitizer.
template <typename CharT>
std::vector<CharT> MakeText(std::size_t ABefore, std::string_view APiece, std::size_t AAfter, bool AHigh) {
    const std::string pattern = std::string(ABefore, '.') + std::string(APiece) + std::string(AAfter, '.');
    std::vector<CharT> text(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        text[i] = pattern[i] == '.' ? FillerAt<CharT>(i, AHigh) : static_cast<CharT>(pattern[i]);
    }
    return text;
}

// The code unit at APos as a number; 0 past the end of the text.
template <typename CharT>
char16_t Unit(std::basic_string_view<CharT> AText, std::size_t APos) {
    if (APos >= AText.size()) return 0;
    if constexpr (sizeof(CharT) == 2) return AText[APos];
    else return static_cast<unsigned char>(AText[APos]);
}

char16_t Upper(char16_t AUnit) { return AUnit >= u'a' && AUnit <= u'z' ? static_cast<char16_t>(AUnit - 32) : AUnit; }

// The plain loops: what the functions promise, one position at a time.
template <typename CharT>
std::size_t PlainFirstOf(std::basic_string_view<CharT> AText, std::size_t AFrom, std::size_t ATo,
                         std::u16string_view AUnits) {
    for (std::size_t i = AFrom; i < ATo; ++i) {
        if (AUnits.find(Unit(AText, i)) != std::u16string_view::npos) return i;
    }
    return ATo;
}

template <typename CharT>
std::size_t PlainKeywordCandidate(std::basic_string_view<CharT> AText, std::size_t AFrom, std::size_t ATo,
                                  std::u16string_view AKeyword) {
    for (std::size_t i = AFrom; i < ATo; ++i) {
        const char16_t unit = Unit(AText, i), next = Unit(AText, i + 1);
        if (unit == u'{' || unit == u'\'' || (unit == u'(' && next == u'*') || (unit == u'/' && next == u'/')) {
            return i;
        }
        if (Upper(unit) == Upper(AKeyword[0]) && Upper(next) == Upper(AKeyword[1])) return i;
    }
    return ATo;
}

constexpr std::u16string_view kUnitSets[] = {u"}", u"\r\n", u"qQ", u"{'(*"};
constexpr std::u16string_view kKeyword = u"uses";

// Compares every search on one text and range with the plain loops; false
// at the first disagreement, so that a sweep can stop there.
template <typename CharT>
bool SameAsPlainLoops(std::basic_string_view<CharT> AText, std::size_t AFrom, std::size_t ATo) {
    for (std::u16string_view units : kUnitSets) {
        const std::size_t found = detail::FindFirstOf(AText, AFrom, ATo, units);
        if (found == PlainFirstOf(AText, AFrom, ATo, units)) continue;
        ADD_FAILURE() << "FindFirstOf \"" << Show(units) << "\" in [" << AFrom << ", " << ATo << ") gave " << found
                      << ", the plain loop " << PlainFirstOf(AText, AFrom, ATo, units);
        return false;
    }
    const std::size_t found = detail::FindKeywordCandidate(AText, AFrom, ATo, kKeyword);
    if (found == PlainKeywordCandidate(AText, AFrom, ATo, kKeyword)) return true;
    ADD_FAILURE() << "FindKeywordCandidate in [" << AFrom << ", " << ATo << ") gave " << found << ", the plain loop "
                  << PlainKeywordCandidate(AText, AFrom, ATo, kKeyword);
    return false;
}

template <typename CharT>
void CheckRow(const SearchCase& ACase, bool AHigh) {
    const std::vector<CharT> buffer = MakeText<CharT>(ACase.Before, ACase.Piece, ACase.After, AHigh);
    const std::basic_string_view<CharT> text(buffer.data(), buffer.size());
    SCOPED_TRACE(std::string(sizeof(CharT) == 2 ? "UTF-16" : "8-bit") + (AHigh ? ", filler above 0x7F" : ", '.'"));
    SameAsPlainLoops(text, ACase.From, std::min(ACase.To, text.size()));
}

class CodeUnitSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(CodeUnitSearchTest, SameAsPlainLoop) {
    for (const bool high : {false, true}) {
        CheckRow<char16_t>(GetParam(), high);
        CheckRow<char>(GetParam(), high);
    }
}

// UTF-16 blocks end after lanes 7, 15, 23...; byte blocks after 15, 31...
// A pair is tested a block at a time only while the unit after the block is
// in range: with 17 units the last UTF-16 block is 8..15, with 33 bytes 16..31.
constexpr SearchCase kCases[] = {
    {"NothingToFind", 40, "", 0},
    {"EmptyText", 0, "", 0},
    {"EmptyRange", 10, "{", 10, 10, 10},
    {"ShorterThanABlock", 2, "(*", 1},
    {"OneUnitShorterThanAByteBlock", 13, "//", 0},
    {"BraceAloneInOneUnit", 0, "{", 0},
    {"ParenStarAcrossUnitEdge", 7, "(*", 20},
    {"ParenStarAcrossByteEdge", 15, "(*", 20},
    {"SlashesAcrossUnitEdge", 7, "//", 20},
    {"SlashesAcrossByteEdge", 15, "//", 20},
    {"BraceInLane7", 7, "{", 20},
    {"BraceInLane8", 8, "{", 20},
    {"QuoteInLane15", 15, "'", 20},
    {"QuoteInLane16", 16, "'", 20},
    {"KeywordAcrossUnitEdge", 7, "uS", 20},
    {"KeywordAcrossByteEdge", 15, "Us", 20},
    {"CrLfAcrossUnitEdge", 7, "\r\n", 20},
    {"LfAtByteEdge", 16, "\n", 20},
    {"CloseBraceInLane15", 15, "}", 20},
    {"QInLane7UpperQInLane8", 7, "qQ", 20},
    {"PairInLastUnitBlock", 15, "(*", 0},
    {"PairInLastByteBlock", 31, "//", 0},
    {"PairOneAfterLastUnitBlock", 16, "(*", 0},
    {"PairOneAfterLastByteBlock", 32, "//", 0},
    {"KeywordInTailAfterBlocks", 37, "us", 1},
    {"BraceLastUnitOfText", 39, "{", 0},
    {"PairEndingPastRange", 30, "(*", 8, 0, 31},
    {"BraceJustPastUnitBlock", 23, "{", 5, 0, 23},
    {"BraceJustPastByteBlock", 15, "{", 5, 0, 15},
    {"BraceLastInRange", 23, "{", 6, 0, 24},
    {"LoneParenAndSlashAreNoOpeners", 6, "(.*/./", 20},
    {"SecondUnitOfPairOnly", 7, "*/u", 20},
    {"FirstOfSeveral", 9, "us.{.'.(*", 20},
    {"MatchBeforeFromIgnored", 3, "{", 30, 4},
    {"FromInsideTheText", 5, "{...........'", 20, 6},
    {"FromWithBlockEdgeShifted", 3, "(*", 30, 1},
};
INSTANTIATE_TEST_SUITE_P(Table, CodeUnitSearchTest, ::testing::ValuesIn(kCases),
                         [](const auto& AInfo) { return std::string(AInfo.param.Name); });

// Every range of a text holding each kind of match, so that each match falls
// on every lane and into the tail once.
template <typename CharT>
void CheckEveryRange(bool AHigh) {
    const std::vector<CharT> buffer = MakeText<CharT>(3, "(.*{..//..'..uSe.}.\r..(*..Q..\n.uu", 9, AHigh);
    const std::basic_string_view<CharT> text(buffer.data(), buffer.size());
    SCOPED_TRACE(std::string(sizeof(CharT) == 2 ? "UTF-16" : "8-bit") + (AHigh ? ", filler above 0x7F" : ", '.'"));
    for (std::size_t from = 0; from <= text.size(); ++from) {
        for (std::size_t to = from; to <= text.size(); ++to) {
            if (!SameAsPlainLoops(text, from, to)) return;
        }
    }
}

TEST(CodeUnitSearchRanges, EveryRangeSameAsPlainLoop) {
    for (const bool high : {false, true}) {
        CheckEveryRange<char16_t>(high);
        CheckEveryRange<char>(high);
    }
}

}  // namespace
}  // namespace quorvel::test
