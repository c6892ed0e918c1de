#include "text/trim.h"

#include <cstdint>
#include <cstring>

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

std::u32string Iniciales(std::u32string text) {
    std::u32string result;
    for (std::size_t p = 0; p + 1 < text.size(); ++p)
        if (text[p] == U' ') result.push_back(text[p + 1]);
    return result;
}

std::u32string_view trimmedView(std::u32string_view text) {
    const char32_t* first = text.data();
    const char32_t* last = first + text.size();
    while (first < last && *first == U' ') ++first;
    // Fixed columns end in long runs of padding: step over them four at a time.
    constexpr std::uint64_t kTwoSpaces = 0x0000002000000020ULL;
    while (last - first >= 4) {
        std::uint64_t a, b;
        std::memcpy(&a, last - 4, sizeof a);
        std::memcpy(&b, last - 2, sizeof b);
        if (((a ^ kTwoSpaces) | (b ^ kTwoSpaces)) != 0) break;
        last -= 4;
    }
    while (last > first && last[-1] == U' ') --last;
    return {first, static_cast<std::size_t>(last - first)};
}

}  // namespace tht
