#pragma once
// Letter case and blanks of plain ASCII, for names and codes that the old
// systems compare byte by byte whatever the user's locale: table and field
// names, INI sections and keys, the tags of TUXA files, the run's direction.
#include <string>
#include <string_view>

namespace tht::ascii {

template <class Char>
constexpr Char upper(Char c) noexcept {
    return c >= Char('a') && c <= Char('z') ? Char(c - Char('a') + Char('A')) : c;
}

template <class Char>
constexpr Char lower(Char c) noexcept {
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

template <class Char>
std::basic_string<Char> upper(std::basic_string_view<Char> text) {
    std::basic_string<Char> out(text);
    for (Char& c : out) c = upper(c);
    return out;
}

inline std::string upper(const char* text) { return upper(std::string_view(text)); }

template <class Char>
constexpr bool equalsIgnoreCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// Without the characters of `blanks` at either end.
template <class Char>
constexpr std::basic_string_view<Char> trim(std::basic_string_view<Char> text, std::basic_string_view<Char> blanks) {
    const auto first = text.find_first_not_of(blanks);
    if (first == text.npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Without the spaces (U+0020 only) at either end: the padding of fixed columns.
constexpr std::string_view trimSpaces(std::string_view text) { return trim(text, std::string_view(" ")); }

}  // namespace tht::ascii
