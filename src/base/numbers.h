#pragma once
// Whole numbers as decimal text, read and written without regard to the
// user's locale, in the character type the caller works in.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tht {

template <class Char = char>
std::basic_string<Char> decimalText(std::int64_t n) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    return std::basic_string<Char>(buf, end);
}

template <class Char>
void appendDecimal(std::basic_string<Char>& out, std::int64_t n) {
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    out.append(buf, end);
}

// Leading spaces, an optional sign, at least one decimal digit and nothing
// after them; nothing for any other text or a value beyond 64 bits.
template <class Char>
std::optional<std::int64_t> parseWholeNumber(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == Char(' ')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == Char('+') || text[i] == Char('-'))) negative = text[i++] == Char('-');
    if (i == text.size()) return std::nullopt;
    std::uint64_t value = 0;
    constexpr std::uint64_t limit = std::uint64_t{1} << 63;
    for (; i < text.size(); ++i) {
        if (text[i] < Char('0') || text[i] > Char('9')) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - Char('0'));
        if (value > limit) return std::nullopt;
    }
    if (!negative && value == limit) return std::nullopt;
    return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
}

}  // namespace tht
