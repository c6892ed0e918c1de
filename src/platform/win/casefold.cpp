// Letter case as Windows pairs it: the lower-case mapping of the invariant
// locale, built once for the Basic Multilingual Plane by one LCMapStringEx call.
#include <windows.h>

#include <vector>

#include "platform/casefold.h"

namespace tht {
namespace {

std::vector<wchar_t> buildLowerTable() {
    std::vector<wchar_t> table(0x10000);
    for (std::size_t c = 0; c < table.size(); ++c) table[c] = static_cast<wchar_t>(c);
    // Surrogates are halves of characters: they map to themselves.
    std::vector<wchar_t> upper(table.begin(), table.begin() + 0xD800);
    std::vector<wchar_t> lower(upper.size());
    const int n = static_cast<int>(upper.size());
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, upper.data(), n, lower.data(), n, nullptr, nullptr, 0) == n)
        std::copy(lower.begin(), lower.end(), table.begin());
    upper.assign(table.begin() + 0xE000, table.end());
    lower.resize(upper.size());
    const int m = static_cast<int>(upper.size());
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, upper.data(), m, lower.data(), m, nullptr, nullptr, 0) == m)
        std::copy(lower.begin(), lower.end(), table.begin() + 0xE000);
    return table;
}

}  // namespace

char32_t foldCase(char32_t c) {
    if (c < 0x80) return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    if (c > 0xFFFF) return c;
    static const std::vector<wchar_t> lower = buildLowerTable();
    return static_cast<char32_t>(lower[c]);
}

}  // namespace tht
