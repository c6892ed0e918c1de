// Comparisons built on the system's folding of one character.
#include "platform/casefold.h"

namespace tht {

std::u32string foldCase(std::u32string_view text) {
    std::u32string out(text);
    for (char32_t& c : out) c = foldCase(c);
    return out;
}

bool equalsIgnoreCase(std::u32string_view a, std::u32string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

int compareIgnoreCase(std::u32string_view a, std::u32string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char32_t x = foldCase(a[i]), y = foldCase(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace tht
