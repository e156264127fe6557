#include "CodeUnitSearch.h"

#include <array>
#include <bit>

#include "TextRules.h"

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(QUORVEL_SCALAR_CODE_UNIT_SEARCH)
#include <emmintrin.h>
#define QUORVEL_CODE_UNIT_SEARCH_SSE2 1
#endif

namespace quorvel::detail {
namespace {

template <typename CharT>
bool IsOneOf(CharT AUnit, std::u16string_view AUnits) {
    return AUnits.find(UnitValue(AUnit)) != std::u16string_view::npos;
}

// `{`, `'`, `(*` and `//` open a comment or string; a `(` or `/` alone does not,
// and stopping at every call's parenthesis would cost more than the scan.
template <typename CharT>
bool OpensCommentOrStringAt(std::basic_string_view<CharT> AText, std::size_t APos) {
    const CharT unit = AText[APos];
    const CharT next = APos + 1 < AText.size() ? AText[APos + 1] : CharT(0);
    return unit == CharT('{') || unit == CharT('\'') || (unit == CharT('(') && next == CharT('*')) ||
           (unit == CharT('/') && next == CharT('/'));
}

template <typename CharT>
bool IsCandidateAt(std::basic_string_view<CharT> AText, std::size_t APos, std::u16string_view AKeyword) {
    if (OpensCommentOrStringAt(AText, APos)) return true;
    return FoldAscii(AText[APos]) == FoldAscii(AKeyword[0]) && APos + 1 < AText.size() &&
           FoldAscii(AText[APos + 1]) == FoldAscii(AKeyword[1]);
}

#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
constexpr char16_t OtherCase(char16_t AUnit) {
    if (AUnit >= u'a' && AUnit <= u'z') return static_cast<char16_t>(AUnit - 32);
    if (AUnit >= u'A' && AUnit <= u'Z') return static_cast<char16_t>(AUnit + 32);
    return AUnit;
}

// The lane operations for each width: sixteen bytes hold eight UTF-16 units
// or sixteen 8-bit ones.
template <typename CharT> struct Lanes;

template <> struct Lanes<char16_t> {
    static constexpr std::size_t kCount = 8;
    static __m128i Equal(__m128i AUnits, char16_t AUnit) {
        return _mm_cmpeq_epi16(AUnits, _mm_set1_epi16(static_cast<short>(AUnit)));
    }
    static int FirstLane(int AMask) { return std::countr_zero(static_cast<unsigned>(AMask)) / 2; }
};

template <> struct Lanes<char> {
    static constexpr std::size_t kCount = 16;
    static __m128i Equal(__m128i AUnits, char16_t AUnit) {
        return _mm_cmpeq_epi8(AUnits, _mm_set1_epi8(static_cast<char>(AUnit)));
    }
    static int FirstLane(int AMask) { return std::countr_zero(static_cast<unsigned>(AMask)); }
};

template <typename CharT>
__m128i Load(std::basic_string_view<CharT> AText, std::size_t APos) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(AText.data() + APos));
}

template <typename CharT>
__m128i EqualEitherCase(__m128i AUnits, char16_t AUnit) {
    return _mm_or_si128(Lanes<CharT>::Equal(AUnits, AUnit), Lanes<CharT>::Equal(AUnits, OtherCase(AUnit)));
}

// The first lane set in AHits, as a code-unit offset; -1 when none.
template <typename CharT>
int FirstLane(__m128i AHits) {
    const int mask = _mm_movemask_epi8(AHits);
    return mask == 0 ? -1 : Lanes<CharT>::FirstLane(mask);
}
#endif

template <typename CharT>
std::size_t FindFirstOfIn(std::basic_string_view<CharT> AText, std::size_t AFrom, std::size_t ATo,
                          std::u16string_view AUnits) {
    std::size_t i = AFrom;
#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
    using L = Lanes<CharT>;
    std::array<char16_t, 4> units{};
    for (std::size_t k = 0; k < units.size(); ++k) units[k] = k < AUnits.size() ? AUnits[k] : AUnits[0];
    for (; i + L::kCount <= ATo; i += L::kCount) {
        const __m128i block = Load(AText, i);
        const __m128i hits = _mm_or_si128(_mm_or_si128(L::Equal(block, units[0]), L::Equal(block, units[1])),
                                          _mm_or_si128(L::Equal(block, units[2]), L::Equal(block, units[3])));
        if (const int lane = FirstLane<CharT>(hits); lane >= 0) return i + static_cast<std::size_t>(lane);
    }
#endif
    while (i < ATo && !IsOneOf(AText[i], AUnits)) ++i;
    return i;
}

template <typename CharT>
std::size_t FindKeywordCandidateIn(std::basic_string_view<CharT> AText, std::size_t AFrom, std::size_t ATo,
                                   std::u16string_view AKeyword) {
    std::size_t i = AFrom;
#ifdef QUORVEL_CODE_UNIT_SEARCH_SSE2
    using L = Lanes<CharT>;
    // Each block is compared with itself and with the block one unit on, so
    // that pairs of units (the keyword's first two, `(*`, `//`) are tested at once.
    for (; i + L::kCount + 1 <= ATo; i += L::kCount) {
        const __m128i block = Load(AText, i);
        const __m128i next = Load(AText, i + 1);
        const __m128i keyword = _mm_and_si128(EqualEitherCase<CharT>(block, AKeyword[0]),
                                              EqualEitherCase<CharT>(next, AKeyword[1]));
        const __m128i openers = _mm_or_si128(
            _mm_or_si128(L::Equal(block, u'{'), L::Equal(block, u'\'')),
            _mm_or_si128(_mm_and_si128(L::Equal(block, u'('), L::Equal(next, u'*')),
                         _mm_and_si128(L::Equal(block, u'/'), L::Equal(next, u'/'))));
        if (const int lane = FirstLane<CharT>(_mm_or_si128(keyword, openers)); lane >= 0) {
            return i + static_cast<std::size_t>(lane);
        }
    }
#endif
    while (i < ATo && !IsCandidateAt(AText, i, AKeyword)) ++i;
    return i;
}

}  // namespace

std::size_t FindFirstOf(std::u16string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits) {
    return FindFirstOfIn(AText, AFrom, ATo, AUnits);
}

std::size_t FindFirstOf(std::string_view AText, std::size_t AFrom, std::size_t ATo, std::u16string_view AUnits) {
    return FindFirstOfIn(AText, AFrom, ATo, AUnits);
}

std::size_t FindKeywordCandidate(std::u16string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword) {
    return FindKeywordCandidateIn(AText, AFrom, ATo, AKeyword);
}

std::size_t FindKeywordCandidate(std::string_view AText, std::size_t AFrom, std::size_t ATo,
                                 std::u16string_view AKeyword) {
    return FindKeywordCandidateIn(AText, AFrom, ATo, AKeyword);
}

}  // namespace quorvel::detail
