#include "CodeUnitSearch.h"

#include <array>
#include <bit>

#include "TextRules.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QUORVEL_CODE_UNIT_SEARCH_SSE2 1
#endif

namespace quorvel::detail {
namespace {

constexpr char16_t OtherCase(char16_t AUnit) {
    if (AUnit >= u'a' && AUnit <= u'z') return static_cast<char16_t>(AUnit - 32);
    if (AUnit >= u'A' && AUnit <= u'Z') return static_cast<char16_t>(AUnit + 32);
    return AUnit;
}

bool IsOneOf(char16_t AUnit, std::u16string_view AUnits) { return AUnits.find(AUnit) != std::u16string_view::npos; }

// `{`, `'`, `(*` and `//` open a comment or string; a `(` or `/` alone does not,
// and stopping at every call's parenthesis would cost more than the scan.
bool OpensCommentOrStringAt(std::u16string_view AText, std::size_t APos) {
    const char16_t unit = AText[APos];
    const char16_t next = APos + 1 < AText.size() ? AText[APos + 1] : u'\0';
    return unit == u'{' || unit == u'\'' || (unit == u'(' && next == u'*') || (unit == u'/' && next == u'/');
}

bool IsCandidateAt(std::u16string_view AText, std::size_t APos, std::u16string_view AKeyword) {
    if (OpensCommentOrStringAt(AText, APos)) return true;
    return FoldAsciiCase(AText[APos]) == FoldAsciiCase(AKeyword[0]) && APos + 1 < AText.size() &&
           FoldAsciiCase(AText[APos + 1]) == FoldAsciiCase(AKeyword[1]);
}

#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
__m128i Load(std::u16string_view AText, std::size_t APos) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText.data() + APos));
}

__m128i Equal(__m128i AUnits, char16_t AUnit) {
    return _mm_cmpeq_epi16(AUnits, _mm_set1_epi16(static_cast<short>(AUnit)));
}

__m128i EqualEitherCase(__m128i AUnits, char16_t AUnit) {
    return _mm_or_si128(Equal(AUnits, AUnit), Equal(AUnits, OtherCase(AUnit)));
}

// The first lane set in AHits, as a code-unit offset; -1 when none.
int FirstLane(__m128i AHits) {
    const int mask = _mm_movemask_epi8(AHits);
    return mask == 0 ? -1 : std::countr_zero(static_cast<unsigned>(mask)) / 2;
}
#endif

}  // namespace

std::size_t FindFirstOf(std::u16string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits) {
    std::size_t i = AFrom;
#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
    std::array<char16_t, 4> units{};
    for (std::size_t k = 0; k < units.size(); ++k) units[k] = k < AUnits.size() ? AUnits[k] : AUnits[0];
    for (; i + 8 <= ATo; i += 8) {
        const __m128i block = Load(AText, i);
        const __m128i hits = _mm_or_si128(_mm_or_si128(Equal(block, units[0]), Equal(block, units[1])),
                                          _mm_or_si128(Equal(block, units[2]), Equal(block, units[3])));
        if (const int lane = FirstLane(hits); lane >= 0) return i + static_cast<std::size_t>(lane);
    }
#endif
    while (i < ATo && !IsOneOf(AText[i], AUnits)) ++i;
    return i;
}

std::size_t FindKeywordCandidate(std::u16string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword) {
    std::size_t i = AFrom;
#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
    // Each block is compared with itself and with the block one unit on, so
    // that pairs of units (the keyword's first two, `(*`, `//`) are tested at once.
    for (; i + 9 <= ATo; i += 8) {
        const __m128i block = Load(AText, i);
        const __m128i next = Load(AText, i + 1);
        const __m128i keyword = _mm_and_si128(EqualEitherCase(block, AKeyword[0]), EqualEitherCase(next, AKeyword[1]));
        const __m128i openers = _mm_or_si128(
            _mm_or_si128(Equal(block, u'{'), Equal(block, u'\'')),
            _mm_or_si128(_mm_and_si128(Equal(block, u'('), Equal(next, u'*')),
                         _mm_and_si128(Equal(block, u'/'), Equal(next, u'/'))));
        if (const int lane = FirstLane(_mm_or_si128(keyword, openers)); lane >= 0) {
            return i + static_cast<std::size_t>(lane);
        }
    }
#endif
    while (i < ATo && !IsCandidateAt(AText, i, AKeyword)) ++i;
    return i;
}

}  // namespace quorvel::detail
