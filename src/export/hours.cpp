#include "export/hours.h"

#include <charconv>
#include <cmath>

namespace tht {

std::optional<double> parseDecimal(std::u32string_view text) {
    std::string ascii;
    std::size_t i = 0;
    auto digits = [&] {
        const std::size_t start = i;
        while (i < text.size() && text[i] >= U'0' && text[i] <= U'9') ascii.push_back(static_cast<char>(text[i++]));
        return i - start;
    };
    if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) {
        if (text[i] == U'-') ascii.push_back('-');
        ++i;
    }
    std::size_t mantissaDigits = digits();
    if (i < text.size() && text[i] == U'.') {
        ascii.push_back('.');
        ++i;
        mantissaDigits += digits();
    }
    if (mantissaDigits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == U'e' || text[i] == U'E')) {
        ascii.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) ascii.push_back(static_cast<char>(text[i++]));
        if (digits() == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<double> weeklyHours(std::u32string_view text) {
    std::u32string normalised = text.empty() ? std::u32string(U"1") : std::u32string(text);
    for (char32_t& c : normalised)
        if (c == U',') c = U'.';
    std::optional<double> hours = parseDecimal(normalised);
    if (hours && *hours < 1) hours = 1;
    return hours;
}

std::u32string lessonPattern(double hours) {
    double whole = std::floor(hours);
    std::u32string pattern;
    if (whole >= 14) {
        char buf[400];
        const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, whole - 13, std::chars_format::fixed, 0);
        if (ec == std::errc()) pattern.assign(buf, end);
        whole = 13;
    }
    pattern.append(static_cast<std::size_t>(whole), U'1');
    if (std::floor(hours) < hours) pattern.push_back(U'\u00BD');
    return pattern;
}

}  // namespace tht
