#include "text/trim.h"

#include <bit>
#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tht {

std::u32string LTrim(std::u32string text) {
    const std::size_t first = text.find_first_not_of(U' ');
    text.erase(0, first == std::u32string::npos ? text.size() : first);
    return text;
}

std::u32string RTrim(std::u32string text) {
    const std::size_t last = text.find_last_not_of(U' ');
    text.erase(last == std::u32string::npos ? 0 : last + 1);
    return text;
}

std::u32string AllTrim(std::u32string text) { return LTrim(RTrim(std::move(text))); }

std::string Iniciales(std::string_view text) {
    std::string result;
    for (std::size_t p = 0; p + 1 < text.size(); ++p)
        if (text[p] == ' ') result.push_back(text[p + 1]);
    return result;
}

std::u32string_view trimmedView(std::u32string_view text) {
    const char32_t* first = text.data();
    const char32_t* last = first + text.size();
    while (first < last && *first == U' ') ++first;
    // Fixed columns end in long runs of padding: step over them sixteen at a time.
#ifdef __SSE2__
    const __m128i spaces = _mm_set1_epi32(U' ');
    while (last - first >= 16) {
        const auto* block = reinterpret_cast<const __m128i*>(last - 16);
        const __m128i same = _mm_and_si128(
            _mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(block), spaces), _mm_cmpeq_epi32(_mm_loadu_si128(block + 1), spaces)),
            _mm_and_si128(_mm_cmpeq_epi32(_mm_loadu_si128(block + 2), spaces), _mm_cmpeq_epi32(_mm_loadu_si128(block + 3), spaces)));
        if (_mm_movemask_epi8(same) != 0xFFFF) break;
        last -= 16;
    }
#endif
    while (last > first && last[-1] == U' ') --last;
    return {first, static_cast<std::size_t>(last - first)};
}

std::string_view trimmedView(std::string_view text) {
    const char* first = text.data();
    const char* last = first + text.size();
    while (first < last && *first == ' ') ++first;
#ifdef __SSE2__
    const __m128i spaces = _mm_set1_epi8(' ');
    while (last - first >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(last - 16));
        const auto others = static_cast<std::uint16_t>(~_mm_movemask_epi8(_mm_cmpeq_epi8(block, spaces)));
        if (others != 0) {  // the last byte that is no space is in this block: drop the spaces after it
            last -= std::countl_zero(others);
            return {first, static_cast<std::size_t>(last - first)};
        }
        last -= 16;
    }
#else
    constexpr std::uint64_t kSpaces = 0x2020202020202020ull;
    for (std::uint64_t block; last - first >= 8; last -= 8) {
        std::memcpy(&block, last - 8, sizeof block);
        if (block != kSpaces) break;
    }
#endif
    while (last > first && last[-1] == ' ') --last;
    return {first, static_cast<std::size_t>(last - first)};
}

}  // namespace tht
