#include "text/trim.h"

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
    const std::size_t first = text.find_first_not_of(U' ');
    if (first == std::u32string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(U' ');
    return text.substr(first, last - first + 1);
}

}  // namespace tht
